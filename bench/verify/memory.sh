#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory of the whole tool making the largest symbols (30 columns, and
# 90 rows of 10 columns, near 928 codewords each) with and without
# read-back, at the default modules and at the largest (64 x 256 pixels),
# as GNU time reports the maximum resident set.
#   bench/verify/memory.sh [BUILD]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed"; exit 1; }
work="$(mktemp -d /dev/shm/barquill-memory-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$work"' EXIT
text=""
while [ ${#text} -lt 1400 ]; do text+="Lorem ipsum dolor sit amet ${#text}"; done
printf '%s' "${text:0:1400}" > "$work/data.txt"

echo "peak memory of one run (maximum resident set):"
for shape in "-c 30" "--rows 90 -c 10"; do
  for modules in "" "--module-width 64 --row-height 256"; do
    for check in --no-verify --verify; do
      # shellcheck disable=SC2086
      kb=$(/usr/bin/time -f %M "$build/cli/barquill" -l 5 $shape $modules $check \
             -i "$work/data.txt" -o "$work/out.png" 2>&1 >/dev/null | tail -1)
      printf '  %-16s %-34s %-12s %6d kB\n' "$shape" "${modules:-default modules}" "$check" "$kb"
    done
  done
done
