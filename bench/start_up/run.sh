#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up and a one-shot label, whole processes side by side on tmpfs, one
# run of each per round (bench/alternate.py): `barquill --version` against
# /bin/true, and `barquill -q -o x.png TEXT`, with its read-back and with
# --no-verify, against zxing-cpp's `ZXingWriter PDF417 TEXT x.png` (Debian's
# zxing-cpp-tools). Prints the medians, the ratios and, when perf is there
# (Debian's linux-perf), each command's page faults: `perf stat -r 40 -e
# page-faults` counts a software event, which works where hardware counters
# do not.
#   bench/start_up/run.sh [BUILD] [RUNS]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
runs="${2:-300}"
here="$(cd "$(dirname "$0")/.." && pwd)"
barquill="$build/cli/barquill"
writer="$(command -v ZXingWriter || true)"

work="$(mktemp -d /dev/shm/barquill-start-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
text="https://example.com/orders/2024-0042?lot=17"
commands=("true=/bin/true" "version=$barquill --version"
          "barquill-png=$barquill -q -o barquill.png $text"
          "barquill-png-no-verify=$barquill -q --no-verify -o barquill.png $text")
[ -n "$writer" ] && commands+=("ZXingWriter=$writer PDF417 $text zxing.png")
echo "start-up and one label, $runs rounds:"
python3 "$here/alternate.py" --runs "$runs" --warmup 10 --json times.json "${commands[@]}"

python3 - times.json <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))
print(f"  barquill --version / true:                     {runs['version'] / runs['true']:.2f}")
if "ZXingWriter" in runs:
    zxing = runs["ZXingWriter"]
    print(f"  barquill -o x.png / ZXingWriter:               {runs['barquill-png'] / zxing:.2f}")
    print(f"  barquill --no-verify -o x.png / ZXingWriter:   {runs['barquill-png-no-verify'] / zxing:.2f}")
    print(f"  true / ZXingWriter (the floor):                {runs['true'] / zxing:.2f}")
PY

if command -v perf > /dev/null; then
  echo "page faults, mean of 40 runs (perf stat):"
  for entry in "${commands[@]}"; do
    name="${entry%%=*}"
    read -r -a argv <<< "${entry#*=}"
    faults=$(perf stat -r 40 -x, -e page-faults "${argv[@]}" 2>&1 > /dev/null | awk -F, '/page-faults/ {print $1}')
    printf "  %-24s %s\n" "$name" "${faults:-unavailable}"
  done
fi
