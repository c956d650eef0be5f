#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Batches of PNG labels, whole processes side by side on tmpfs, one run of
# each per round (bench/alternate.py): `barquill --batch` with read-back
# (the default) and with --no-verify, on one job and on two, against
# zxing_batch (zxing-cpp's writer and libpng) on the same list. Prints the
# medians and the ratios.
#   bench/batch/run.sh [BUILD] [ITEMS] [RUNS]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
items="${2:-5000}"
runs="${3:-7}"
here="$(cd "$(dirname "$0")/.." && pwd)"
barquill="$build/cli/barquill"
peer="$build/bench/batch/zxing_batch"
[ -x "$peer" ] || { echo "no $peer: zxing-cpp was not found"; exit 0; }

work="$(mktemp -d /dev/shm/barquill-batch-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Label texts of 20 to 60 letters, digits and punctuation, the same every run.
python3 - "$items" > "$work/list.txt" <<'PY'
import random, sys
random.seed(4711)
alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -./:"
for _ in range(int(sys.argv[1])):
    print("".join(random.choice(alphabet) for _ in range(random.randint(20, 60))).strip() or "X")
PY

list="$work/list.txt"
out="$work/out/%05d.png"
echo "$items labels to PNG files, $runs rounds:"
python3 "$here/alternate.py" --runs "$runs" --warmup 1 --fresh "$work/out" --json "$work/times.json" \
  "zxing=$peer $list $out" \
  "verify-j1=$barquill --batch $list -o $out -j 1" \
  "no-verify-j1=$barquill --batch $list -o $out -j 1 --no-verify" \
  "verify-j2=$barquill --batch $list -o $out -j 2" \
  "no-verify-j2=$barquill --batch $list -o $out -j 2 --no-verify"

python3 - "$work/times.json" "$items" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))
items = int(sys.argv[2])
for name, seconds in runs.items():
    print(f"  {name:13s} {seconds / items * 1e6:7.1f} us/label  {items / seconds:8.0f} labels/s"
          f"  {seconds / runs['zxing']:.3f} of zxing")
print(f"  -j 2 against -j 1: {runs['verify-j1'] / runs['verify-j2']:.2f}x with read-back, "
      f"{runs['no-verify-j1'] / runs['no-verify-j2']:.2f}x without")
PY
