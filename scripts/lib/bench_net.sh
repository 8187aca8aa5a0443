# The client network of scripts/bench and scripts/longrun: the namespaces of
# env.sh (names of their own, so other runs on the machine are not touched)
# with PHONES devices as neighbours of the hotspot's adapter, each with a
# host name, and optionally a slow steady stream to and from the phone.
# Source after env.sh, with LUMORA_NETNS_HOST and LUMORA_NETNS_CLIENT set
# before it; run as root.

# netns_up's three phones, and more up to $1 in all (192.168.137.101 on,
# clear of the traffic sinks .98 and .99).
bench_net_up() {  # number of phones
  netns_up
  local i ip hosts=/etc/netns/$NETNS_HOST/hosts
  for i in $(seq 1 $(($1 - 3))); do
    ip=192.168.137.$((100 + i))
    printf '%s phone-%03d\n' "$ip" "$i" >>"$hosts"
    BENCH_NEIGHBOURS+=("$ip 02:00:00:00:$(printf '%02x:%02x' $((i / 256)) $((i % 256)))")
  done
  bench_net_refresh
}

# Reachable entries turn stale and, with many on the machine, may be
# collected: written again, they stay what a joined device looks like.
BENCH_NEIGHBOURS=()
bench_net_refresh() {
  local entry
  for entry in "${BENCH_NEIGHBOURS[@]}"; do
    set -- $entry
    ip -n "$NETNS_HOST" neigh replace "$1" lladdr "$2" dev lumora0 nud reachable
  done
  ip -n "$NETNS_HOST" neigh replace "$CLIENT_IP" lladdr "$CLIENT_MAC" dev lumora0 nud reachable
  ip -n "$NETNS_HOST" neigh replace 192.168.137.24 lladdr 02:11:22:33:44:66 dev lumora0 nud reachable
  ip -n "$NETNS_HOST" neigh replace 192.168.137.25 lladdr 02:11:22:33:44:77 dev lumora0 nud reachable
}

# In the background until killed: every 30 s the neighbours are refreshed
# and a stream of $1 bytes/s runs for 28 s, upload and download in turn.
BENCH_NET_LOOP_PID=
bench_net_start_traffic() {  # bytes per second
  netns_traffic_sinks
  local pump
  pump="$(dirname "${BASH_SOURCE[0]}")/traffic_pump.py"
  (
    trap 'exit 0' TERM
    turn=0
    while :; do
      bench_net_refresh
      if [ $((turn % 2)) = 0 ]; then
        ip netns exec "$NETNS_CLIENT" python3 "$pump" send 192.168.137.99 "$1" 28
      else
        ip netns exec "$NETNS_HOST" python3 "$pump" send 192.168.137.98 "$1" 28
      fi
      turn=$((turn + 1))
      sleep 2
    done
  ) >/dev/null 2>&1 </dev/null &
  BENCH_NET_LOOP_PID=$!
}

bench_net_down() {
  if [ -n "$BENCH_NET_LOOP_PID" ]; then
    pkill -TERM -P "$BENCH_NET_LOOP_PID" 2>/dev/null || true
    kill "$BENCH_NET_LOOP_PID" 2>/dev/null || true
  fi
  BENCH_NET_LOOP_PID=
  netns_down
}

# The Windows build of just these targets (x86_64 unless $1 says i686).
bench_build() {  # arch, targets...
  local arch=$1
  shift
  say "Windows build ($arch): $*"
  cmake -S "$ROOT" -B "$BUILD/win-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" >/dev/null
  cmake --build "$BUILD/win-$arch" -j "$JOBS" --target "$@"
}
