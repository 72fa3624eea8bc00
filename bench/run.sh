#!/usr/bin/env bash
# Runs every benchmark program of a build.
set -euo pipefail
build=${1:-build-bench}
export QT_QPA_PLATFORM=offscreen
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
