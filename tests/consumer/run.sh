#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the embedding project against the source tree, runs
# its program, and checks what the embedding needed: no Qt, CLI11 or zxing-cpp
# was looked for, and a program that includes an internal header does not
# build.
set -euo pipefail
source=$1
work=$2
rm -rf "$work"
cmake -S "$(dirname "$0")/project" -B "$work" -DBARQUILL_SOURCE="$source" -DCMAKE_BUILD_TYPE=Release > "$work.configure.log"
cmake --build "$work" -j 2 --target label > "$work.build.log"
size=$("$work/label")
[ "$size" -gt 100 ] || { echo "the embedded program wrote no PNG"; exit 1; }
for package in Qt6 CLI11 ZXing pybind11 benchmark GTest; do
  if grep -q "^${package}_DIR:" "$work/CMakeCache.txt"; then
    echo "the embedding looked for $package"
    exit 1
  fi
done
if cmake --build "$work" --target reaches_inside > "$work.inside.log" 2>&1; then
  echo "a program that includes encoder/pdf417.h without linking the encoder built"
  exit 1
fi
grep -q "encoder/pdf417.h" "$work.inside.log" || { cat "$work.inside.log"; exit 1; }
echo "embedded: a ${size}-byte PNG; nothing but libpng looked for; internal headers out of reach"
