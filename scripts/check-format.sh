#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a C or C++ source of the tree is not in the layout of the
# committed .clang-format; lists the files and shows how they differ.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp' | grep -v '^encoder/codeword_patterns.cpp$')
bad=0
for file in "${files[@]}"; do
  if ! "$format" --style=file --dry-run -Werror "$file" 2>/dev/null; then
    echo "not formatted: $file"
    "$format" --style=file "$file" | diff -u "$file" - | head -20 || true
    bad=1
  fi
done
[ "$bad" -eq 0 ] && echo "format: ${#files[@]} files in layout"
exit "$bad"
