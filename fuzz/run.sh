#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every fuzz target for the given seconds, starting from the seed corpus
# kept in the tree (copied, so the tree's corpus stays as committed), and
# prints each target's executions. Fails on the first finding.
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
targets=$(cat "$build/fuzz/targets.txt")
[ -n "$targets" ] || { echo "fuzz: no targets in $build/fuzz/targets.txt" >&2; exit 1; }
for target in $targets; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "$build/findings"
  cp -n "$here/corpus/$target/"* "$corpus/" 2>/dev/null || true
  log="$build/$target.log"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1; then
    tail -60 "$log"
    echo "fuzz: $target found a fault; the input is in $build/findings" >&2
    exit 1
  fi
  echo "fuzz: $target: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') executions in ${seconds}s, no finding"
done
