# The hotspot's main job, shown in a simulated Windows (run by scripts/run).
#
# The real LumoraWiFi.exe runs in a Wine prefix of its own (build/wineprefix-demo)
# that has the test stand-ins for netsh, the sharing manager and the sharing and
# firewall services, inside a network namespace whose adapter lumora0 plays the
# hosted network's adapter; a phone sits beyond it in a second namespace and
# makes traffic (bounded in rate) while the program runs.
#
# With a reachable display the program opens there and waits for you. Without
# one the script drives it itself on a virtual display: 开启WiFi, the phone on
# 管理用户, traffic on 流量统计 and the floating bar, a screenshot of each page.
# Everything it set up goes again when it ends.

# Names of its own, so the tests' namespaces may exist at the same time.
export LUMORA_NETNS_HOST=${LUMORA_DEMO_NETNS_HOST:-lumora-demo-host}
export LUMORA_NETNS_CLIENT=${LUMORA_DEMO_NETNS_CLIENT:-lumora-demo-phone}
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
export LUMORA_WINEPREFIX=$BUILD/wineprefix-demo

TITLE=LumoraWiFi5.1
WIN=$BUILD/win-x86_64
EXE=$WIN/src/win32/LumoraWiFi.exe
DRIVER=$WIN/tests/ui_driver.exe
SHOTS=$BUILD/screenshots/demo
# The phone's traffic: what it fetches and what it sends, in bytes a second.
DOWN_RATE=200000
UP_RATE=50000

fail() {
  echo "demo failed: $*" >&2
  exit 1
}

ensure_packages
build_windows x86_64 LumoraWiFi ui_driver netsh_standin lumora_hnetshare standin_service
ensure_prefix
install_standin_services "$WIN/tests/standin_service.exe"
install_hotspot_standins "$WIN"

PHONE=
HEADLESS=1
TRAFFIC_PID=
PROGRAM_PID=
cleanup() {
  set +e
  [ -n "$TRAFFIC_PID" ] && kill "$TRAFFIC_PID" 2>/dev/null && wait "$TRAFFIC_PID" 2>/dev/null
  "$WINESERVER_BIN" -k >/dev/null 2>&1
  [ -n "$PHONE" ] && netns_down
  [ -n "$HEADLESS" ] && stop_virtual_display
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# (set -e does not hold inside a condition: whether the two ends exist decides.)
if [ "$(id -u)" = 0 ] && { netns_up >/dev/null 2>&1 || true; } &&
  ip -n "$NETNS_HOST" link show lumora0 >/dev/null 2>&1 &&
  ip -n "$NETNS_CLIENT" link show lumora1 >/dev/null 2>&1; then
  PHONE=1
  # One phone: the other neighbour entries of the tests' network go.
  ip -n "$NETNS_HOST" neigh del 192.168.137.24 dev lumora0 2>/dev/null || true
  ip -n "$NETNS_HOST" neigh del 192.168.137.25 dev lumora0 2>/dev/null || true
else
  netns_down 2>/dev/null || true
  say "network namespaces cannot be made here (they need root and iproute2): the demo runs without the phone"
fi

# Every program of the demo runs in the hotspot's namespace, its Wine server too.
in_demo() {
  if [ -n "$PHONE" ]; then
    ip netns exec "$NETNS_HOST" env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$@"
  else
    env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$@"
  fi
}
driver() { in_demo "$WINE_LOADER_BIN" "$DRIVER" "$@" </dev/null 2>/dev/null; }

# A fresh start each time: default settings but the floating bar shown and
# the hosted adapter named (lumora0 in the namespace, else the stand-in's
# own); empty device lists; the stand-ins' state with one internet
# connection and the hosted adapter to share it with.
ADAPTER=lumora0
[ -n "$PHONE" ] || ADAPTER="无线网络连接 2"
C=$WINEPREFIX/drive_c
rm -f "$C/tovkwifi.ini" "$C/wifiname.txt" "$C/wifiblack.txt" "$C/wifiwhite.txt"
rm -rf "$C/lumora-standins"
mkdir -p "$C/lumora-standins"
printf '[流量条]\r\n是否开=是\r\n[1]\r\n1=1\r\n2=%s\r\n' "$ADAPTER" | iconv -f UTF-8 -t GBK >"$C/tovkwifi.ini"
printf '宽带连接|2|none\r\n%s|7|none\r\n' "$ADAPTER" >"$C/lumora-standins/sharing.ini"
printf 'adapter=%s\r\ndhcp=0\r\n' "$ADAPTER" >"$C/lumora-standins/netsh-state.ini"

# The phone's traffic until the demo ends: from the phone to the hotspot's
# address and back to the phone, each in bursts of at most 30 s (the pump's
# own bound), so nothing outlives a stop for long.
start_phone_traffic() {
  [ -n "$PHONE" ] || return 0
  local pump=$ROOT/scripts/lib/traffic_pump.py
  (
    trap 'kill $(jobs -p) 2>/dev/null; exit 0' TERM
    while :; do
      ip netns exec "$NETNS_CLIENT" python3 "$pump" send 192.168.137.1 "$UP_RATE" 20 &
      ip netns exec "$NETNS_HOST" python3 "$pump" send "$CLIENT_IP" "$DOWN_RATE" 20 &
      wait
    done
  ) >/dev/null 2>&1 </dev/null &
  TRAFFIC_PID=$!
}

# --- On a desktop: the program is yours until you close it. -------------------
if [ -n "${DISPLAY:-}" ] && in_demo xdpyinfo >/dev/null 2>&1; then
  HEADLESS=
  "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  say "starting LumoraWiFi on $DISPLAY: click 开启WiFi; the phone shows on 管理用户, its traffic on 流量统计 and the floating bar"
  start_phone_traffic
  in_demo "$WINE_LOADER_BIN" "$EXE" >/dev/null 2>&1 </dev/null || true
  exit 0
fi
[ -n "${DISPLAY:-}" ] && say "the display $DISPLAY cannot be reached from the demo's namespace: using a virtual one"

# --- Without a display: the demonstration runs by itself. ----------------------
start_virtual_display
"$WINESERVER_BIN" -k >/dev/null 2>&1 || true
"$WINESERVER_BIN" -w >/dev/null 2>&1 || true
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
say "starting LumoraWiFi on the virtual display $DISPLAY"
in_demo "$WINE_LOADER_BIN" "$EXE" >/dev/null 2>&1 </dev/null &
PROGRAM_PID=$!

shot() {  # name
  sleep 1.5  # the last changes painted
  import -window root "$SHOTS/$1.png" || fail "could not save $SHOTS/$1.png"
  echo "screenshot: $SHOTS/$1.png"
}

# Polls `$@` every half second for at most $1 seconds.
wait_until() {
  local seconds=$1
  shift
  local until=$((SECONDS + seconds))
  while ((SECONDS < until)); do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}
# A control whose text is a figure other than zero followed by `unit`.
shows_figure() {  # window unit
  driver list "$1" | grep -Eq " 1 [01] [01] [0-9.]*[1-9][0-9.]* ?$2\$"
}

driver wait "$TITLE" 30000 >/dev/null || fail "the window did not appear within 30 s"
driver waitfor "$TITLE" 开启WiFi 30000 >/dev/null ||
  fail "the start button did not become ready (开启WiFi) within 30 s"
say "clicking 开启WiFi"
driver click "$TITLE" 开启WiFi >/dev/null || fail "no button 开启WiFi"
driver waitfor "$TITLE" 关闭WiFi 60000 >/dev/null ||
  fail "the hotspot did not start (no 关闭WiFi) within 60 s"
say "the hotspot runs"
start_phone_traffic

if [ -n "$PHONE" ]; then
  driver page "$TITLE" 1 >/dev/null || fail "could not open 管理用户"
  row=$(driver waitfor "$TITLE" "$CLIENT_IP" 30000) ||
    fail "the phone ($CLIENT_IP) was not listed on 管理用户 within 30 s"
  say "the phone on 管理用户: $(tr '\t' ' ' <<<"$row")"
  shot users
  driver page "$TITLE" 3 >/dev/null || fail "could not open 流量统计"
  wait_until 30 shows_figure "$TITLE" MB || fail "the totals on 流量统计 stayed at zero for 30 s"
  wait_until 30 shows_figure TrafficBar '[KM]B/S' || fail "the floating bar's rates stayed at zero for 30 s"
  say "流量统计 shows: $(driver list "$TITLE" | sed -n 's/^.* 1 [01] [01] \([0-9.]* \(MB\|元\)\)$/\1/p' | paste -sd' ')"
  say "the floating bar shows: $(driver list TrafficBar | sed -n 's/^.* 1 [01] [01] \([0-9.]*[KM]B\/S\)$/\1/p' | paste -sd' ')"
  shot traffic
  driver page "$TITLE" 0 >/dev/null || fail "could not open 主界面"
else
  say "no phone: 管理用户 and 流量统计 stay empty"
fi
shot main

driver close "$TITLE" >/dev/null || true
wait_until 15 eval '! kill -0 "$PROGRAM_PID" 2>/dev/null' || fail "the program did not end within 15 s of its close"
say "the demonstration is over"
