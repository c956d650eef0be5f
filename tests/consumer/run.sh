#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the embedding project against the source tree, runs
# its program, and checks what the embedding needed: libpng, libdeflate,
# nlohmann-json and, optionally, cairo were looked for and nothing else (no Qt, CLI11,
# zxing-cpp, ...); the configure messages tell only of what was looked for;
# PDF is written exactly when cairo was found; the embedding configures
# without pkg-config and so without cairo; and a program that includes an
# internal header does not build. Built without optimisation: what is
# tested is what the embedding needs, not its speed.
set -euo pipefail
source=$1
work=$2
rm -rf "$work" "$work-without-cairo"
cmake -S "$(dirname "$0")/project" -B "$work" -DBARQUILL_SOURCE="$source" -DCMAKE_BUILD_TYPE= > "$work.configure.log"
cmake --build "$work" -j 2 --target label > "$work.build.log"
"$work/label" > "$work.run.log"
size=$(awk '$1 == "png" {print $2}' "$work.run.log")
[ "${size:-0}" -gt 100 ] || { echo "the embedded program wrote no PNG"; cat "$work.run.log"; exit 1; }
for package in Qt6 CLI11 ZXing pybind11 benchmark GTest GIF; do
  if grep -q "^${package}_DIR:" "$work/CMakeCache.txt"; then
    echo "the embedding looked for $package"
    exit 1
  fi
done
if grep -v "^//" "$work/CMakeCache.txt" | grep -q -i -E "microhttpd|pybind11|python"; then
  echo "the embedding looked for the service's or Python's libraries"
  exit 1
fi
grep -q "^PNG_LIBRARY" "$work/CMakeCache.txt" || { echo "the embedding did not look for libpng"; exit 1; }
grep -q "^DEFLATE_LIBRARY" "$work/CMakeCache.txt" || { echo "the embedding did not look for libdeflate"; exit 1; }
grep -q "^nlohmann_json_DIR:" "$work/CMakeCache.txt" || { echo "the embedding did not look for nlohmann-json"; exit 1; }
if grep -q "zxing-cpp not found" "$work.configure.log"; then
  echo "the embedding reports zxing-cpp not found, though it never looked for it"
  exit 1
fi
grep -q "^verify no$" "$work.run.log" || { echo "the embedded library claims to read symbols back"; exit 1; }
if grep -q "PDF and EPS: cairo .* draws them" "$work.configure.log"; then
  pdf="a $(awk '$1 == "pdf" {print $2}' "$work.run.log")-byte PDF (cairo found)"
  grep -q "^pdf [0-9]" "$work.run.log" || { echo "cairo was found but no PDF was written"; exit 1; }
else
  pdf="PDF refused (cairo not found)"
  grep -q "^pdf refused" "$work.run.log" || { echo "a PDF without cairo"; exit 1; }
fi
# Cairo is optional: the embedding configures without pkg-config, saying so.
cmake -S "$(dirname "$0")/project" -B "$work-without-cairo" -DBARQUILL_SOURCE="$source" \
      -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON > "$work-without-cairo.configure.log"
grep -q "cairo was not looked for" "$work-without-cairo.configure.log" ||
  { echo "without pkg-config the configure messages do not say that cairo was not looked for"; exit 1; }
if cmake --build "$work" --target reaches_inside > "$work.inside.log" 2>&1; then
  echo "a program that includes encoder/pdf417.h without linking the encoder built"
  exit 1
fi
grep -q "encoder/pdf417.h" "$work.inside.log" || { cat "$work.inside.log"; exit 1; }
echo "embedded: a ${size}-byte PNG, ${pdf}, no read-back; looked for libpng, libdeflate, nlohmann-json and (optional) cairo only; configures without cairo; internal headers out of reach"
