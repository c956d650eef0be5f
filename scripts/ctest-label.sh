#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the tests of one CTest label expression in a build folder and fails
# when it selects fewer than expected, so a renamed or relabelled test can
# never empty a CI step without a word. Usage: ctest-label.sh BUILD LABELS MIN
set -euo pipefail
build=$1
labels=$2
minimum=$3
cd "$build"
count=$(ctest -N -L "$labels" | sed -n 's/^Total Tests: //p')
echo "ctest -L '$labels': $count tests (at least $minimum expected)"
if [ "${count:-0}" -lt "$minimum" ] || [ "${count:-0}" -eq 0 ]; then
  echo "ctest -L '$labels' selects $count tests, fewer than $minimum" >&2
  exit 1
fi
ctest --output-on-failure -j "$(nproc)" -L "$labels"
