# Release builds, setup programs and portable zips, shared by scripts/package
# and the installer layer of scripts/test. Source it after env.sh.

PACKAGES+=(nsis zip unzip)
PACKAGING=$ROOT/packaging

# Every time stamp the release carries is the last commit's (or the caller's).
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 0)}

arch_label() {  # x86_64 -> x64, i686 -> x86
  case $1 in x86_64) echo x64 ;; i686) echo x86 ;; *) return 1 ;; esac
}

product_version() {  # the display version, from the project's one place
  sed -n 's/^project(LumoraWiFi VERSION \([0-9]*\)\.\([0-9]*\).*/\1.\2/p' "$ROOT/CMakeLists.txt"
}

# The program alone, no tests: build_release SOURCE_DIR ARCH BUILD_DIR
build_release() {
  say "release build ($2) in $3"
  cmake -S "$1" -B "$3" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-$2.cmake" >/dev/null
  cmake --build "$3" -j "$JOBS" --target LumoraWiFi
}

# The stripped program, its setup and its portable zip from one build:
# make_dist ARCH BUILD_DIR DIST_DIR [SOURCE_DIR]
make_dist() {
  local arch=$1 build=$2 dist=$3 src=${4:-$ROOT}
  local label version stage
  label=$(arch_label "$arch")
  version=$(product_version)
  stage=$build/stage/LumoraWiFi
  rm -rf "$build/stage"
  mkdir -p "$stage" "$dist"
  # strip gives a 32-bit PE the link time SOURCE_DATE_EPOCH names (a 64-bit
  # one keeps the linker's zero): the same commit, the same bytes.
  "$arch-w64-mingw32-strip" -o "$stage/LumoraWiFi.exe" "$build/src/win32/LumoraWiFi.exe"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage/LumoraWiFi.exe" "$stage"
  local setup=$dist/LumoraWiFi-$version-$label-setup.exe
  makensis -V2 -INPUTCHARSET UTF8 -DARCH="$label" -DSTAGE="$stage" \
    -DVERSION_NSH="$build/generated/version.nsh" -DOUTFILE="$setup" "$src/packaging/setup.nsi" >&2
  touch -d "@$SOURCE_DATE_EPOCH" "$setup"
  local zip=$dist/LumoraWiFi-$version-$label-portable.zip
  rm -f "$zip"
  (cd "$build/stage" && TZ=UTC zip -q -X -r "$zip" LumoraWiFi)
  touch -d "@$SOURCE_DATE_EPOCH" "$zip"
}
