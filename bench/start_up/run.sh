#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up and a one-shot label, whole processes side by side in one
# hyperfine run on tmpfs: `barquill --version` against /bin/true, and
# `barquill -o x.png TEXT` against zxing-cpp's `ZXingWriter PDF417 TEXT
# x.png` (Debian's zxing-cpp-tools). Prints the medians and the ratios.
#   bench/start_up/run.sh [BUILD]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
barquill="$build/cli/barquill"
command -v hyperfine > /dev/null || { echo "hyperfine is needed"; exit 1; }
writer="$(command -v ZXingWriter || true)"

work="$(mktemp -d /dev/shm/barquill-start-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
text="Invoice 2024-0042 / Lot 17"
commands=(-n true "/bin/true" -n version "$barquill --version"
          -n barquill-png "$barquill -o barquill.png '$text'")
[ -n "$writer" ] && commands+=(-n ZXingWriter "$writer PDF417 '$text' zxing.png")
hyperfine -N --warmup 50 --runs "${RUNS:-500}" --export-json times.json "${commands[@]}" \
  > hyperfine.log 2>&1

python3 - times.json <<'PY'
import json, sys
runs = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
for name, seconds in runs.items():
    print(f"  {name:13s} {seconds * 1e3:7.2f} ms (median)")
print(f"  barquill --version / true:         {runs['version'] / runs['true']:.2f}")
if "ZXingWriter" in runs:
    print(f"  barquill -o x.png / ZXingWriter:   {runs['barquill-png'] / runs['ZXingWriter']:.2f}")
    print(f"  true / ZXingWriter (the floor):    {runs['true'] / runs['ZXingWriter']:.2f}")
PY
