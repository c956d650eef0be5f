#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The service under load beside bwip-js, on the loopback interface, with the
# same client (wrk), the same 40-character text and the same run lengths:
# requests a second at the peak, latency at half the peak rate, and the
# service's resident memory. bwip-js must be installed already (npm install
# -g bwip-js@4, or a folder of node_modules named by NODE_PATH): nothing is
# fetched at run time, and without it the comparison is skipped, said so.
# Usage: bench/service/run.sh [path/to/barquill]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
barquill=${1:-build/cli/barquill}
seconds=10
connections=32
text="Ticket 4711, gate B7, seat 14C, LHR-JFK!"  # 40 characters
query="data=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$text")&format=png"

# Node looks in the global folder only when told to.
NODE_PATH=${NODE_PATH:-$(npm root -g 2>/dev/null || true)}
export NODE_PATH
if ! command -v node >/dev/null || ! node -e 'require.resolve("bwip-js")' 2>/dev/null; then
  echo "bench/service: bwip-js is not installed (npm install -g bwip-js@4, or NODE_PATH);" \
       "skipping the comparison" >&2
  exit 0
fi

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

"$barquill" serve --listen 127.0.0.1:0 > "$scratch/service.out" &
pids+=($!)
service_pid=$!
for _ in $(seq 50); do grep -q serving "$scratch/service.out" && break; sleep 0.1; done
service_port=$(sed -n 's|.*127\.0\.0\.1:\([0-9]*\)/$|\1|p' "$scratch/service.out")

peer_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
node "$here/bwip_server.js" "$peer_port" &
pids+=($!)
for _ in $(seq 100); do curl -sf -o /dev/null "http://127.0.0.1:$peer_port/v1/pdf417?$query" && break; sleep 0.1; done

peak() {  # URL -> requests a second
  wrk -t2 -c$connections -d${seconds}s "$1" | tee -a "$scratch/wrk.txt" |
    sed -n 's/^Requests\/sec: *\([0-9.]*\)/\1/p'
}
paced() {  # URL RATE -> the wrk report at about RATE requests a second
  local paced_connections=64
  local delay=$(( paced_connections * 1000 / $2 ))
  DELAY_MS=$(( delay > 0 ? delay : 1 )) wrk -t2 -c$paced_connections -d${seconds}s --latency \
    -s "$here/paced.lua" "$1"
}

for name in barquill bwip-js; do
  port=$service_port
  [ "$name" = bwip-js ] && port=$peer_port
  url="http://127.0.0.1:$port/v1/pdf417?$query"
  curl -sf -o "$scratch/$name.png" "$url"
  rate=$(peak "$url")
  echo "== $name: peak $rate requests/s (wrk -t2 -c$connections -d${seconds}s)"
  half=$(python3 -c "print(max(1, int(float('$rate') / 2)))")
  echo "== $name: at half the peak, $half requests/s asked (wrk --latency, paced):"
  paced "$url" "$half" | grep -E "Requests/sec|  50%|  90%|  99%"
done
echo "== load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== barquill: peak resident memory $(sed -n 's/^VmHWM: *//p' /proc/$service_pid/status)"
