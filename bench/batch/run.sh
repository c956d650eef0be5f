#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Batches of PNG labels, whole processes side by side in one hyperfine run:
# `barquill --batch` with read-back (the default) and with --no-verify, on
# one job and on two, against zxing_batch (zxing-cpp's writer and libpng)
# on the same list, written to tmpfs. Prints the medians and the ratios.
#   bench/batch/run.sh [BUILD] [ITEMS]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
items="${2:-5000}"
barquill="$build/cli/barquill"
peer="$build/bench/batch/zxing_batch"
[ -x "$peer" ] || { echo "no $peer: zxing-cpp was not found"; exit 0; }
command -v hyperfine > /dev/null || { echo "hyperfine is needed"; exit 1; }

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

fresh="rm -rf '$work/out' && mkdir '$work/out'"
hyperfine --warmup 1 --runs "${RUNS:-7}" --prepare "$fresh" --export-json "$work/times.json" \
  -n zxing "$peer '$work/list.txt' '$work/out/%05d.png'" \
  -n verify-j1 "$barquill --batch '$work/list.txt' -o '$work/out/%05d.png' -j 1" \
  -n no-verify-j1 "$barquill --batch '$work/list.txt' -o '$work/out/%05d.png' -j 1 --no-verify" \
  -n verify-j2 "$barquill --batch '$work/list.txt' -o '$work/out/%05d.png' -j 2" \
  -n no-verify-j2 "$barquill --batch '$work/list.txt' -o '$work/out/%05d.png' -j 2 --no-verify" \
  > "$work/hyperfine.log" 2>&1

python3 - "$work/times.json" "$items" <<'PY'
import json, sys
runs = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
items = int(sys.argv[2])
print(f"{items} labels to PNG files, median of each command:")
for name, seconds in runs.items():
    print(f"  {name:13s} {seconds * 1e3:9.1f} ms  {seconds / items * 1e6:7.1f} us/label"
          f"  {items / seconds:8.0f} labels/s  {seconds / runs['zxing']:.3f} of zxing")
print(f"  -j 2 against -j 1: {runs['verify-j1'] / runs['verify-j2']:.2f}x with read-back, "
      f"{runs['no-verify-j1'] / runs['no-verify-j2']:.2f}x without")
PY
