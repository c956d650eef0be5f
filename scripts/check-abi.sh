#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares the shared library's ABI with the dump of the last release kept
# in abi/. An incompatible change fails unless the SONAME changed with it
# (then record the new release's dump: scripts/check-abi.sh --record).
# The library is built with debug information, which abidiff reads the
# types from, in a folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ABI_BUILD:-build-abi}
# Sources are named relative to the tree, so that dumps made anywhere compare.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$PWD/=" -DBARQUILL_TOOLS=OFF -DBARQUILL_GUI=OFF \
      -DBARQUILL_BENCH=OFF -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target barquill_shared > /dev/null
library=$(readlink -f "$build/lib/libbarquill.so")
soname=$(objdump -p "$library" | awk '/SONAME/ {print $2}')
# Kept compressed: the dump is several megabytes of XML.
dump=abi/$soname.abi.gz
if [ "${1:-}" = "--record" ]; then
  # Without the tree's or the build's path: the dump names no machine.
  abidw --headers-dir include/barquill --no-corpus-path --no-comp-dir-path \
        --out-file "$build/recorded.abi" "$library"
  gzip -9 -n -c "$build/recorded.abi" > "$dump"
  echo "abi: recorded $dump"
  exit 0
fi
if [ ! -f "$dump" ]; then
  echo "abi: no dump for $soname in abi/: a new major version; record it with $0 --record" >&2
  exit 1
fi
set +e
gzip -d -c "$dump" > "$build/release.abi"
abidiff --headers-dir2 include/barquill "$build/release.abi" "$library" > "$build/abidiff.txt"
status=$?
set -e
# abidiff's status bits: 1 error, 2 usage, 4 a change, 8 an incompatible change.
if (( status & 3 )); then
  cat "$build/abidiff.txt"
  echo "abi: abidiff could not compare" >&2
  exit 1
fi
# abidiff flags only removals as incompatible; a changed layout or signature
# (any "Changed" function or variable) breaks callers just as surely, so
# only additions pass.
changed=$( { grep -E -o '[0-9]+ (Removed|Changed)' "$build/abidiff.txt" || true; } | awk '{n += $1} END {print n + 0}')
if (( status & 8 )) || (( changed > 0 )); then
  cat "$build/abidiff.txt"
  echo "abi: an incompatible change to $soname; bump the major version (the SONAME) or undo it" >&2
  exit 1
fi
echo "abi: $soname is compatible with its dump ($( (( status & 4 )) && echo "compatible additions" || echo "unchanged"))"
