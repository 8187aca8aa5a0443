# What a user meets of a release: the setup programs and the programs they
# carry. Source after env.sh and package.sh; every check prints "ok" or
# "FAIL" and counts into CHECKS_PASSED and CHECKS_FAILED.

CHECKS_PASSED=0
CHECKS_FAILED=0

check() {  # description command...
  local what=$1
  shift
  if "$@" </dev/null >/dev/null 2>&1; then
    echo "   ok    $what"
    CHECKS_PASSED=$((CHECKS_PASSED + 1))
  else
    echo "   FAIL  $what"
    CHECKS_FAILED=$((CHECKS_FAILED + 1))
  fi
}

# DLLs every Windows has; anything else would have to travel with the program.
SYSTEM_DLLS='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|ws2_32|iphlpapi|wininet|msvcrt|version|shlwapi|uxtheme|winmm|wlanapi|setupapi|api-ms-win-crt-[a-z0-9-]*)\.dll$'

# (Whole outputs are read before grep looks: with pipefail a grep that stops
# early would fail the pipe.)
objdump_of() { "$1-w64-mingw32-objdump" "$2" "$3"; }
pe_dlls() { objdump_of "$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'; }
only_system_dlls() { ! grep -Evq "$SYSTEM_DLLS" <<<"$(pe_dlls "$1" "$2")"; }
pe_format_is() { grep -q "file format $3\$" <<<"$(objdump_of "$1" -f "$2")"; }
gui_subsystem() { grep -q '^Subsystem.*(Windows GUI)' <<<"$(objdump_of "$1" -p "$2")"; }
stripped() {
  ! grep -q '\.debug' <<<"$(objdump_of "$1" -h "$2")" &&
    grep -q '^no symbols' <<<"$(objdump_of "$1" -t "$2")"
}
# Every section starts on a page in the file: Wine maps such an image, and
# copies any other into the process's private memory.
page_aligned() { grep -q '^FileAlignment\s*00001000$' <<<"$(objdump_of "$1" -p "$2")"; }
# A string of the version resource (UTF-16 in the file).
version_string() { grep -A1 -x "$2" <<<"$(strings -el -n 3 "$1")" | sed -n 2p; }
version_is() { [ "$(version_string "$1" "$2")" = "$3" ]; }

# Checks that need no Windows: check_release_files ARCH EXE SETUP
check_release_files() {
  local arch=$1 exe=$2 setup=$3 format label version
  case $arch in x86_64) format=pei-x86-64 ;; i686) format=pei-i386 ;; esac
  label=$(arch_label "$arch")
  version=$(product_version)
  check "$label program: $format" pe_format_is "$arch" "$exe" "$format"
  check "$label program: Windows GUI subsystem" gui_subsystem "$arch" "$exe"
  check "$label program: imports only system DLLs ($(pe_dlls "$arch" "$exe" | tr '\n' ' '))" \
    only_system_dlls "$arch" "$exe"
  check "$label program: stripped" stripped "$arch" "$exe"
  check "$label program: sections on page boundaries in the file" page_aligned "$arch" "$exe"
  check "$label setup: $format" pe_format_is "$arch" "$setup" "$format"
  check "$label setup: imports only system DLLs" only_system_dlls "$arch" "$setup"
  local key
  for key in ProductVersion FileVersion; do
    check "$label program and setup: $key agree ($(version_string "$exe" "$key"))" \
      bash -c '[ -n "$1" ] && [ "$1" = "$2" ]' _ "$(version_string "$exe" "$key")" \
      "$(version_string "$setup" "$key")"
  done
  check "$label program: ProductVersion is $version" version_is "$exe" ProductVersion "$version"
}

# --- Under Wine ----------------------------------------------------------------
INSTALL_DIR='C:\Program Files\LumoraWiFi'
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LumoraWiFi'
RUN_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

wine_bounded() {  # seconds program args...
  timeout "$1" env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$WINE_LOADER_BIN" "${@:2}" </dev/null >/dev/null 2>&1
}
reg_list() {  # key -> its values as reg.exe prints them
  wine_run reg query "$1" </dev/null 2>/dev/null | tr -d '\r'
}
listed_value() {  # listing name -> the data
  sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$1"
}
reg_value() { listed_value "$(reg_list "$1")" "$2"; }
reg_value_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
reg_key_gone() { ! wine_run reg query "$1" </dev/null >/dev/null 2>&1; }
reg_value_gone() { ! wine_run reg query "$1" /v "$2" </dev/null >/dev/null 2>&1; }
listed_is() { [ "$(listed_value "$1" "$2")" = "$3" ]; }
estimated_size_fits() {  # listing folder: the size in KB against the installed files
  local kb want
  kb=$(($(listed_value "$1" EstimatedSize)))
  want=$(du -sk --apparent-size "$2" | cut -f1)
  [ "$kb" -gt 0 ] && [ $((kb - want)) -le 8 ] && [ $((want - kb)) -le 8 ]
}
wait_for() {  # seconds command...
  local until=$(($(date +%s) + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -ge "$until" ] && return 1
    sleep 0.5
  done
}
start_button_ready() {  # the start-up is through: 开启WiFi enabled
  wine_run "$1" list LumoraWiFi5.1 </dev/null 2>/dev/null | grep -aq '^[0-9]* Button 1 1 0 开启WiFi'
}
not_exists() { [ ! -e "$1" ]; }
# The files of drive C a user or the system owns, without the scratch folders.
drive_c_files() {
  (cd "$WINEPREFIX/drive_c" && find . -type f | grep -Eiv '/(temp|cache|inetcache)/' | sort)
}

# The user's data files as a user of the program would have them: GBK, CRLF.
seed_user_files() {  # folder
  printf '[user]\r\nssid=我的热点\r\nkey=12345678\r\n[monitor]\r\nmonitor=监控\r\n' |
    iconv -f UTF-8 -t GBK >"$1/tovkwifi.ini"
  printf 'AA-BB-CC-DD-EE-01+小米手机\r\nAA-BB-CC-DD-EE-02+iPad\r\n' | iconv -f UTF-8 -t GBK >"$1/wifiname.txt"
  printf 'AA-BB-CC-DD-EE-03+陌生设备\r\n' | iconv -f UTF-8 -t GBK >"$1/wifiblack.txt"
  printf 'AA-BB-CC-DD-EE-01+小米手机\r\n' | iconv -f UTF-8 -t GBK >"$1/wifiwhite.txt"
}

# In a fresh prefix of its own: the silent install, the installed program
# (window, autostart), a second silent install over the running program,
# the silent uninstall, and one that removes the user's data. The prefix gets the sharing and firewall services
# a Windows machine has (played by the tests' service), or the program's
# start-up stops at its message that the firewall cannot start.
#   check_install SETUP EXPECTED_EXE TESTS_DIR SHOTS_DIR
check_install() {
  local setup=$1 expected=$2 driver=$3/ui_driver.exe services=$3/standin_service.exe shots=$4
  rm -f "$BUILD/installer-counts"
  (
    SECONDS=0
    # A prefix nothing has run in but its own set-up, made once and copied.
    export LUMORA_WINEPREFIX=$BUILD/wineprefix-pristine
    ensure_prefix
    install_standin_services "$services"
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
    rm -rf "$BUILD/wineprefix-install"
    cp -a "$LUMORA_WINEPREFIX" "$BUILD/wineprefix-install"
    export LUMORA_WINEPREFIX=$BUILD/wineprefix-install
    wine_env
    wine_start_server
    say "fresh prefix ready after $SECONDS s"
    local c=$WINEPREFIX/drive_c
    local dir="$c/Program Files/LumoraWiFi"
    local menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/LumoraWiFi"
    local desktop="$c/users/Public/Desktop/LumoraWiFi.lnk"
    local seeds=$BUILD/installer-seeds
    mkdir -p "$seeds" "$shots"
    seed_user_files "$seeds"
    cp "$seeds"/* "$c/"
    drive_c_files >"$BUILD/installer-before.txt"

    wine_bounded 120 "$setup" /S || true
    check "setup /S: the program in $INSTALL_DIR" cmp "$expected" "$dir/LumoraWiFi.exe"
    check "setup /S: the uninstaller" test -f "$dir/uninst.exe"
    check "setup /S: Start-menu shortcut" test -f "$menu/LumoraWiFi.lnk"
    check "setup /S: Start-menu uninstall shortcut" test -f "$menu/卸载 LumoraWiFi.lnk"
    check "setup /S: desktop shortcut" test -f "$desktop"
    local entry
    entry=$(reg_list "$UNINSTALL_KEY")
    check "uninstall entry: DisplayName" listed_is "$entry" DisplayName LumoraWiFi
    check "uninstall entry: DisplayVersion $(product_version)" \
      listed_is "$entry" DisplayVersion "$(product_version)"
    check "uninstall entry: Publisher" listed_is "$entry" Publisher Lumora
    check "uninstall entry: DisplayIcon" listed_is "$entry" DisplayIcon "$INSTALL_DIR\\LumoraWiFi.exe,0"
    check "uninstall entry: UninstallString" \
      listed_is "$entry" UninstallString "\"$INSTALL_DIR\\uninst.exe\""
    check "uninstall entry: EstimatedSize $(($(listed_value "$entry" EstimatedSize))) KB" \
      estimated_size_fits "$entry" "$dir"
    say "installed after $SECONDS s"

    # The program as the Start menu starts it.
    local lnk='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\LumoraWiFi\LumoraWiFi.lnk'
    wine_run start "$lnk" </dev/null >/dev/null 2>&1 || true
    check "installed program shows its window" wine_run "$driver" wait LumoraWiFi5.1 30000
    check "installed program gets ready" wait_for 30 start_button_ready "$driver"
    say "program ready after $SECONDS s"
    wine_run "$driver" click LumoraWiFi5.1 开机打开软件 </dev/null >/dev/null 2>&1 || true
    check "开机打开软件 writes the quoted Program Files path" wait_for 10 \
      reg_value_is "$RUN_KEY" tovkwifiqd "\"$INSTALL_DIR\\LumoraWiFi.exe\""
    wine_run "$driver" shot "$(winepath_of "$shots")\\installed-program.bmp" </dev/null >/dev/null 2>&1 || true

    say "autostart checked after $SECONDS s"
    # An update over the running program: the setup closes it first.
    wine_bounded 120 "$setup" /S || true
    check "setup /S over the running program closes it" \
      bash -c '! "$@" wait LumoraWiFi5.1 500' _ "$WINE_LOADER_BIN" "$driver"
    check "setup /S over the running program replaces it" cmp "$expected" "$dir/LumoraWiFi.exe"

    # What the program made of the user's files is what the uninstall keeps.
    mkdir -p "$BUILD/installer-kept"
    cp "$c"/tovkwifi.ini "$c"/wifi*.txt "$BUILD/installer-kept/"
    check "the program left the device files as they were" \
      bash -c 'cd "$1" && cmp wifiname.txt "$2/wifiname.txt" && cmp wifiblack.txt "$2/wifiblack.txt" && cmp wifiwhite.txt "$2/wifiwhite.txt"' \
      _ "$seeds" "$BUILD/installer-kept"
    say "installed program checked after $SECONDS s"
    wine_bounded 60 "$dir/uninst.exe" /S || true
    # The uninstaller goes on from a copy of itself in the temporary folder.
    wait_for 60 not_exists "$dir" || true
    wait_for 10 reg_key_gone "$UNINSTALL_KEY" || true
    check "uninstall: program folder removed" not_exists "$dir"
    check "uninstall: Start-menu folder removed" not_exists "$menu"
    check "uninstall: desktop shortcut removed" not_exists "$desktop"
    check "uninstall: entry removed" reg_key_gone "$UNINSTALL_KEY"
    check "uninstall: Run value tovkwifiqd removed" reg_value_gone "$RUN_KEY" tovkwifiqd
    local f
    for f in tovkwifi.ini wifiname.txt wifiblack.txt wifiwhite.txt; do
      check "uninstall keeps c:\\$f byte for byte" cmp "$BUILD/installer-kept/$f" "$c/$f"
    done
    drive_c_files >"$BUILD/installer-after.txt"
    check "uninstall removes nothing that was there before the install" \
      bash -c '[ -z "$(comm -23 "$1" "$2")" ]' _ "$BUILD/installer-before.txt" "$BUILD/installer-after.txt"
    comm -23 "$BUILD/installer-before.txt" "$BUILD/installer-after.txt" | sed 's/^/   missing: /'
    say "uninstall checked after $SECONDS s"

    # Asked for, the uninstall takes the user's files too.
    wine_bounded 120 "$setup" /S || true
    wine_bounded 60 "$dir/uninst.exe" /S /REMOVEDATA || true
    # The data goes after the program: waited for as the last thing done.
    wait_for 60 bash -c '[ ! -e "$1/tovkwifi.ini" ] && [ ! -e "$1/wifiwhite.txt" ]' _ "$c" || true
    for f in tovkwifi.ini wifiname.txt wifiblack.txt wifiwhite.txt; do
      check "uninstall /REMOVEDATA removes c:\\$f" not_exists "$c/$f"
    done

    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    echo "$CHECKS_PASSED $CHECKS_FAILED" >"$BUILD/installer-counts"
  )
  if [ -e "$BUILD/installer-counts" ]; then
    read -r CHECKS_PASSED CHECKS_FAILED <"$BUILD/installer-counts"
  else
    echo "   FAIL  the installation run ended early"
    CHECKS_FAILED=$((CHECKS_FAILED + 1))
  fi
}
