#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every fuzz target for the given seconds, as many at a time as there
# are cores, starting from the seed corpus kept in the tree (copied, so the
# tree's corpus stays as committed), and prints each target's executions.
# Fails when any target finds a fault, after showing its log.
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
targets=$(cat "$build/fuzz/targets.txt")
[ -n "$targets" ] || { echo "fuzz: no targets in $build/fuzz/targets.txt" >&2; exit 1; }
mkdir -p "$build/findings"

run_one() {
  local target=$1
  local corpus="$build/corpus/$target"
  local log="$build/$target.log"
  mkdir -p "$corpus"
  cp -n "$here/corpus/$target/"* "$corpus/" 2>/dev/null || true
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1; then
    tail -60 "$log"
    echo "fuzz: $target found a fault; the input is in $build/findings" >&2
    return 1
  fi
  echo "fuzz: $target: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') executions in ${seconds}s, no finding"
}

jobs=$(nproc)
failed=0
running=0
for target in $targets; do
  if (( running >= jobs )); then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
while (( running > 0 )); do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
