#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up and a one-shot label, whole processes side by side on tmpfs, one
# run of each per round (bench/alternate.py): `barquill --version` against
# /bin/true, and `barquill -o x.png TEXT` against zxing-cpp's
# `ZXingWriter PDF417 TEXT x.png` (Debian's zxing-cpp-tools). Prints the
# medians and the ratios.
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
text="Invoice 2024-0042 / Lot 17"
commands=("true=/bin/true" "version=$barquill --version"
          "barquill-png=$barquill -o barquill.png '$text'")
[ -n "$writer" ] && commands+=("ZXingWriter=$writer PDF417 '$text' zxing.png")
echo "start-up and one label, $runs rounds:"
python3 "$here/alternate.py" --runs "$runs" --warmup 10 --json times.json "${commands[@]}"

python3 - times.json <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))
print(f"  barquill --version / true:         {runs['version'] / runs['true']:.2f}")
if "ZXingWriter" in runs:
    print(f"  barquill -o x.png / ZXingWriter:   {runs['barquill-png'] / runs['ZXingWriter']:.2f}")
    print(f"  true / ZXingWriter (the floor):    {runs['true'] / runs['ZXingWriter']:.2f}")
PY
