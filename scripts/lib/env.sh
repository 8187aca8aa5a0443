# Shared set-up for scripts/run and scripts/test: packages, builds, the Wine
# prefix and a virtual display. Source it; every function is idempotent.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${LUMORA_BUILD:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

say() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

PACKAGES=(cmake ninja-build g++ googletest libgtest-dev
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
  iproute2 python3)

# ensure_packages [PACKAGE...]   (none: the build's and the tests' PACKAGES)
ensure_packages() {
  local missing=() wanted=("$@")
  [ $# -eq 0 ] && wanted=("${PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

build_native() {
  say "native build (core and unit tests)"
  cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD/native" -j "$JOBS"
}

# --- Sanitizer and fuzz builds of the core (scripts/test --deep, scripts/fuzz) ---
# build_native_sanitized address|thread: the unit tests with AddressSanitizer
# and UndefinedBehaviorSanitizer (gcc), or with ThreadSanitizer (clang, which
# so also proves that the whole core and its tests build with clang), in
# build/native-KIND.
build_native_sanitized() {
  local kind=$1 cxx=g++
  [ "$kind" = thread ] && ensure_clang && cxx=clang++
  say "native build with the $kind sanitizer ($cxx)"
  CXX=$cxx cmake -S "$ROOT" -B "$BUILD/native-$kind" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DLUMORA_SANITIZE="$kind" >/dev/null
  cmake --build "$BUILD/native-$kind" -j "$JOBS" --target unit_tests
}

ensure_clang() {
  ensure_packages clang libclang-rt-dev
}

# The libFuzzer targets (clang) in build/fuzz.
build_fuzz() {
  ensure_clang
  say "fuzz targets (clang, libFuzzer)"
  CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMORA_FUZZ=ON >/dev/null
  cmake --build "$BUILD/fuzz" -j "$JOBS" --target fuzz_targets
}

# build_windows x86_64|i686 [TARGET...]   (no targets: everything)
build_windows() {
  local arch=$1
  shift
  say "Windows build ($arch)"
  cmake -S "$ROOT" -B "$BUILD/win-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" --no-warn-unused-cli >/dev/null
  cmake --build "$BUILD/win-$arch" -j "$JOBS" ${1:+--target "$@"}
}

# --- Wine ------------------------------------------------------------------
# The 64-bit loader directly: it runs whether or not 32-bit Wine is present
# (some kernels here cannot start 32-bit programs at all).
WINE_LOADER_BIN=/usr/lib/wine/wine64
[ -x "$WINE_LOADER_BIN" ] || WINE_LOADER_BIN=$(command -v wine64 || command -v wine || echo wine)
WINESERVER_BIN=/usr/lib/wine/wineserver
[ -x "$WINESERVER_BIN" ] || WINESERVER_BIN=$(command -v wineserver || echo wineserver)

wine_env() {
  export WINEPREFIX=${LUMORA_WINEPREFIX:-$BUILD/wineprefix}
  export WINELOADER=$WINE_LOADER_BIN WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # A Chinese locale gives Wine the ANSI and OEM code page 936 of the
  # target systems; the locale is compiled here, a fresh machine lacks it.
  export LOCPATH=$BUILD/locale
  if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || true
  fi

}

wine_run() { LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$WINE_LOADER_BIN" "$@"; }

# Wine's helper processes inherit the first command's output: keep them off
# any pipe a caller may be reading, or that reader never sees the end.
wine_start_server() {
  "$WINESERVER_BIN" -p >/dev/null 2>&1 </dev/null || true
  wine_run cmd /c exit >/dev/null 2>&1 </dev/null || true
}

PREFIX_VERSION=5
ensure_prefix() {
  wine_env
  local stamp=$WINEPREFIX/.lumora-prefix
  if [ "$(cat "$stamp" 2>/dev/null)" = "$PREFIX_VERSION" ]; then
    wine_start_server
    return 0
  fi
  say "creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine_run wineboot -i >/dev/null 2>&1 </dev/null
  local reg=$BUILD/prefix.reg
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for f in SimSun NSimSun "Microsoft YaHei" 宋体 新宋体 微软雅黑 Tahoma Verdana \
      "MS Shell Dlg" "MS Shell Dlg 2"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$f"
    done
    # No window manager under Xvfb: unmanaged windows close without a stall.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
    # A crash must fail the test, not wait for ever on a dialog.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="win7"\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  wine_run regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 </dev/null
  # Let the server write the registry out and end before it is used again.
  "$WINESERVER_BIN" -w
  echo "$PREFIX_VERSION" >"$stamp"
  wine_start_server
}

# A Linux path as Wine sees it (drive Z: is the root).
winepath_of() { printf 'Z:%s' "$(realpath "$1" | sed 's|/|\\|g')"; }

# --- Display -----------------------------------------------------------------
XVFB_PID=
start_virtual_display() {
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
  done
  echo "could not start a virtual display" >&2
  return 1
}

stop_virtual_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}

# Services a Windows machine has and a Wine prefix lacks, played by a small
# service of our own: the sharing service and the firewall.
install_standin_services() {  # path of standin_service.exe
  local marker=$WINEPREFIX/.lumora-services
  cmp -s "$1" "$WINEPREFIX/drive_c/windows/lumora_standin_service.exe" && [ -e "$marker" ] && return 0
  cp "$1" "$WINEPREFIX/drive_c/windows/lumora_standin_service.exe"
  for service in SharedAccess MpsSvc; do
    wine_run sc create "$service" binpath= 'C:\windows\lumora_standin_service.exe' \
      start= demand type= own >/dev/null 2>&1 </dev/null || true
  done
  touch "$marker"
}

# The test-only netsh.exe and sharing manager ("HNetCfg.HNetShare") from a
# Windows build directory (e.g. $BUILD/win-x86_64), for the real program to
# run against. Their state lives in C:\lumora-standins\.
install_hotspot_standins() {  # Windows build directory
  install_tethering_standin "$1"
  local clsid='{5C63C1AD-3956-4FF8-8486-40034758315B}'
  local sys=$WINEPREFIX/drive_c/windows/system32 marker=$WINEPREFIX/.lumora-hotspot-standins
  local netsh=$1/tests/netsh.exe dll=$1/tests/lumora_hnetshare.dll
  cmp -s "$netsh" "$sys/netsh.exe" && cmp -s "$dll" "$sys/lumora_hnetshare.dll" &&
    [ -e "$marker" ] && return 0
  cp "$netsh" "$sys/netsh.exe"
  cp "$dll" "$sys/lumora_hnetshare.dll"
  mkdir -p "$WINEPREFIX/drive_c/lumora-standins"
  local classes='HKLM\Software\Classes' key
  key="$classes\\CLSID\\$clsid"
  # Wine 8 does not look for ProgIDs under HKCU\Software\Classes.
  local entries=(
    "HKCU\\Software\\Wine\\DllOverrides|netsh.exe|native"
    "$key||HNetCfg.HNetShare"
    "$key\\InprocServer32||C:\\windows\\system32\\lumora_hnetshare.dll"
    "$key\\InprocServer32|ThreadingModel|Both"
    "$key\\ProgID||HNetCfg.HNetShare.1"
    "$key\\VersionIndependentProgID||HNetCfg.HNetShare"
    "$classes\\HNetCfg.HNetShare\\CLSID||$clsid"
    "$classes\\HNetCfg.HNetShare\\CurVer||HNetCfg.HNetShare.1"
    "$classes\\HNetCfg.HNetShare.1\\CLSID||$clsid"
  )
  local entry path name data
  for entry in "${entries[@]}"; do
    IFS='|' read -r path name data <<<"$entry"
    if [ -n "$name" ]; then
      wine_run reg add "$path" /v "$name" /d "$data" /f >/dev/null 2>&1 </dev/null
    else
      wine_run reg add "$path" /ve /d "$data" /f >/dev/null 2>&1 </dev/null
    fi
  done
  touch "$marker"
}

# The system's tethering manager and network information for the test
# prefix (Wine 8 has neither): combase loads the runtime classes from the
# DLL their ActivatableClassId keys name. Test prefixes only, never shipped.
install_tethering_standin() {  # Windows build directory
  local dll=$1/tests/lumora_tethering.dll sys=$WINEPREFIX/drive_c/windows/system32
  local marker=$WINEPREFIX/.lumora-tethering-standin class
  cmp -s "$dll" "$sys/lumora_tethering.dll" && [ -e "$marker" ] && return 0
  cp "$dll" "$sys/lumora_tethering.dll"
  for class in Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager \
               Windows.Networking.Connectivity.NetworkInformation; do
    local key="HKLM\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\$class"
    wine_run reg add "$key" /v DllPath /d 'C:\windows\system32\lumora_tethering.dll' /f \
      >/dev/null 2>&1 </dev/null
    wine_run reg add "$key" /v ActivationType /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
  done
  touch "$marker"
}

# The browser of the test prefix: the shell's "open" of an http or https
# address is written to C:\lumora-standins\opened.log instead.
install_open_recorder() {  # the Windows build directory
  local exe=$1/tests/lumora_open_recorder.exe target=$WINEPREFIX/drive_c/windows/lumora_open_recorder.exe
  cmp -s "$exe" "$target" && [ -e "$WINEPREFIX/.lumora-open-recorder" ] && return 0
  cp "$exe" "$target"
  local scheme
  for scheme in http https; do
    wine_run reg add "HKCR\\$scheme\\shell\\open\\command" /ve \
      /d '"C:\windows\lumora_open_recorder.exe" "%1"' /f >/dev/null 2>&1 </dev/null
  done
  touch "$WINEPREFIX/.lumora-open-recorder"
}

# --- A network for the hotspot's clients ---------------------------------------
# Two network namespaces joined by a veth pair: lumora0 (192.168.137.1, the
# hotspot's adapter as the program sees it) in NETNS_HOST, lumora1
# (192.168.137.23, a phone) in NETNS_CLIENT. Traffic stays inside them.
NETNS_HOST=${LUMORA_NETNS_HOST:-lumora-hotspot}
NETNS_CLIENT=${LUMORA_NETNS_CLIENT:-lumora-client}
CLIENT_IP=192.168.137.23
CLIENT_MAC=02:11:22:33:44:55

netns_up() {
  netns_down
  ip netns add "$NETNS_HOST"
  ip netns add "$NETNS_CLIENT"
  ip -n "$NETNS_HOST" link add lumora0 type veth peer name lumora1 netns "$NETNS_CLIENT"
  ip -n "$NETNS_CLIENT" link set lumora1 address "$CLIENT_MAC"
  ip -n "$NETNS_HOST" addr add 192.168.137.1/24 dev lumora0
  ip -n "$NETNS_CLIENT" addr add "$CLIENT_IP/24" dev lumora1
  local ns
  for ns in "$NETNS_HOST" "$NETNS_CLIENT"; do ip -n "$ns" link set lo up; done
  ip -n "$NETNS_HOST" link set lumora0 up
  ip -n "$NETNS_CLIENT" link set lumora1 up
  # The phone as the neighbour table knows a device that joined, and two
  # more phones known only by their neighbour entries.
  ip -n "$NETNS_HOST" neigh replace "$CLIENT_IP" lladdr "$CLIENT_MAC" dev lumora0 nud reachable
  ip -n "$NETNS_HOST" neigh replace 192.168.137.24 lladdr 02:11:22:33:44:66 dev lumora0 nud reachable
  ip -n "$NETNS_HOST" neigh replace 192.168.137.25 lladdr 02:11:22:33:44:77 dev lumora0 nud reachable
  # Their names, as the hotspot's DHCP server would have registered them:
  # programs started with `ip netns exec` read this file as /etc/hosts.
  mkdir -p "/etc/netns/$NETNS_HOST"
  printf '%s\n' '127.0.0.1 localhost' "$CLIENT_IP android-5f2a8c.mshome.net" \
    '192.168.137.24 iPhone-LiLei' >"/etc/netns/$NETNS_HOST/hosts"
}

# Two ways to the internet for the hotspot's namespace, as a wired and a
# wireless connection: uplinka (10.0.1.2) holds the default route, and the
# traffic pump moves it to uplinkb (10.0.2.2) on a test's request. Their
# far ends sit in the phone's namespace; nothing is routed beyond.
netns_uplinks() {
  local n=1 up
  for up in uplinka uplinkb; do
    ip -n "$NETNS_HOST" link add "$up" type veth peer name "$up-far" netns "$NETNS_CLIENT"
    ip -n "$NETNS_HOST" addr add "10.0.$n.2/24" dev "$up"
    ip -n "$NETNS_CLIENT" addr add "10.0.$n.1/24" dev "$up-far"
    ip -n "$NETNS_HOST" link set "$up" up
    ip -n "$NETNS_CLIENT" link set "$up-far" up
    n=$((n + 1))
  done
  ip -n "$NETNS_HOST" route replace default via 10.0.1.1 dev uplinka
}

# Addresses nobody holds, one on each side, for the traffic pump
# (scripts/lib/traffic_pump.py): frames sent there cross the veth pair and
# are dropped without an answer (neither namespace forwards).
netns_traffic_sinks() {
  local host_mac
  host_mac=$(ip -n "$NETNS_HOST" -o link show lumora0 | sed -n 's/.*link\/ether \([0-9a-f:]*\).*/\1/p')
  ip -n "$NETNS_CLIENT" neigh replace 192.168.137.99 lladdr "$host_mac" dev lumora1 nud permanent
  ip -n "$NETNS_HOST" neigh replace 192.168.137.98 lladdr "$CLIENT_MAC" dev lumora0 nud permanent
}

# Serves the end-to-end tests' requests for a steady stream (a request file
# in the prefix's C:\lumora-standins), for at most $1 seconds, in the
# background; TRAFFIC_PUMP_PID is its process.
TRAFFIC_PUMP_PID=
start_traffic_pump() {
  mkdir -p "$WINEPREFIX/drive_c/lumora-standins"
  rm -f "$WINEPREFIX/drive_c/lumora-standins/traffic-pump.txt"*
  netns_traffic_sinks
  python3 "$(dirname "${BASH_SOURCE[0]}")/traffic_pump.py" serve \
    "$WINEPREFIX/drive_c/lumora-standins/traffic-pump.txt" "$NETNS_HOST" "$NETNS_CLIENT" "$1" &
  TRAFFIC_PUMP_PID=$!
}

stop_traffic_pump() {
  [ -n "$TRAFFIC_PUMP_PID" ] && kill "$TRAFFIC_PUMP_PID" 2>/dev/null || true
  TRAFFIC_PUMP_PID=
  # The sinks go too: what follows sees only the phones.
  ip -n "$NETNS_HOST" neigh del 192.168.137.98 dev lumora0 2>/dev/null || true
  ip -n "$NETNS_CLIENT" neigh del 192.168.137.99 dev lumora1 2>/dev/null || true
}

netns_down() {
  ip netns del "$NETNS_HOST" 2>/dev/null || true
  ip netns del "$NETNS_CLIENT" 2>/dev/null || true
  rm -rf "/etc/netns/$NETNS_HOST"
}

# Runs a Windows program inside the hotspot's namespace. Wine's server must
# start there too, or the programs see the host's network through it.
netns_wine_run() {
  "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  ip netns exec "$NETNS_HOST" env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 LUMORA_NETNS=1 \
    "$WINE_LOADER_BIN" "$@"
}

# --- A full drive C ------------------------------------------------------------
# Runs end-to-end tests with drive C on a small disk that fills: in a mount
# namespace of their own, drive_c is overlaid with a 16 MB tmpfs (2048 file
# entries) that takes every write, while the stand-ins' folder stays on the
# real disk so the services they play go on working. Wine's server starts
# inside, since it opens the files; when the run ends the namespace goes and
# the prefix keeps nothing the run wrote.
run_on_full_disk() {  # Windows build directory, screenshots folder, gtest filter
  local small
  small=$(mktemp -d)
  "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  DRIVE=$WINEPREFIX/drive_c SMALL=$small WINESERVER_BIN=$WINESERVER_BIN \
    unshare -m --propagation private bash -c '
      set -e
      mount -t tmpfs -o size=16m,nr_inodes=2048 lumora-small-disk "$SMALL"
      mkdir "$SMALL/upper" "$SMALL/work" "$SMALL/standins"
      mount --bind "$DRIVE/lumora-standins" "$SMALL/standins"
      mount -t overlay lumora-drive-c -o "lowerdir=$DRIVE,upperdir=$SMALL/upper,workdir=$SMALL/work" "$DRIVE"
      mount --bind "$SMALL/standins" "$DRIVE/lumora-standins"
      "$@" || true
      "$WINESERVER_BIN" -k >/dev/null 2>&1 || true' _ \
    timeout 300 env WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 LUMORA_FULL_DISK=1 \
      LUMORA_EXE="$(winepath_of "$1/src/win32/LumoraWiFi.exe")" LUMORA_SHOTS="$(winepath_of "$2")" \
      "$WINE_LOADER_BIN" "$1/tests/e2e_tests.exe" --gtest_filter="$3" </dev/null
  rmdir "$small"
}

# --- A Wine session of its own ---------------------------------------------------
# The timed power-off ends the programs of its Wine session: its scenario
# runs in a prefix and wineserver of their own, never the ones the other
# tests' driver runs in.
run_in_own_session() {  # Windows build directory, screenshots folder, gtest filter
  (
    export LUMORA_WINEPREFIX=$BUILD/wineprefix-session
    ensure_prefix
    install_standin_services "$1/tests/standin_service.exe"
    install_hotspot_standins "$1"
    timeout 300 env WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 LUMORA_OWN_SESSION=1 \
      LUMORA_EXE="$(winepath_of "$1/src/win32/LumoraWiFi.exe")" \
      LUMORA_SHOTS="$(winepath_of "$2")" \
      "$WINE_LOADER_BIN" "$1/tests/e2e_tests.exe" --gtest_filter="$3" </dev/null || true
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  )
}

# --- Screens of other DPIs -------------------------------------------------------
# Runs end-to-end tests once per DPI: Wine reads the screen's DPI from
# LogPixels when its server starts, so the server restarts for each and the
# prefix gets its 96 DPI back at the end. Each run's counts stand in one log
# (record_gtest reads the last summary; every run's failures are listed).
run_at_dpis() {  # Windows build directory, screenshots folder, gtest filter, DPI...
  local win=$1 shots=$2 filter=$3 dpi failed=0 passed=0
  shift 3
  for dpi in "$@"; do
    wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >/dev/null 2>&1 </dev/null
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
    wine_start_server
    timeout 300 env WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 LUMORA_DPI="$dpi" \
      LUMORA_EXE="$(winepath_of "$win/src/win32/LumoraWiFi.exe")" LUMORA_SHOTS="$(winepath_of "$shots")" \
      "$WINE_LOADER_BIN" "$win/tests/e2e_tests.exe" --gtest_filter="$filter" </dev/null >"$BUILD/dpi-run.log" 2>&1 || true
    cat "$BUILD/dpi-run.log"
    grep -q '^\[  PASSED  \] [0-9]* test' "$BUILD/dpi-run.log" && ! grep -q '^\[  FAILED  \]' "$BUILD/dpi-run.log" &&
      passed=$((passed + 1)) || failed=$((failed + 1))
  done
  wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 </dev/null
  "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  wine_start_server
  # One summary for the layer: a run per DPI.
  echo "[  PASSED  ] $passed tests."
  [ "$failed" -eq 0 ] || echo "[  FAILED  ] $failed tests, listed above"
}
