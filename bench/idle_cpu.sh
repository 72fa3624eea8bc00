#!/usr/bin/env bash
# What Vantor costs while it sits idle with no pad plugged in: starts each
# build's program offscreen on an empty ROM folder, waits for it to settle,
# and reads its CPU time (user + system, from /proc/<pid>/stat) over SECONDS.
#   bench/idle_cpu.sh SECONDS BUILD_DIR [BUILD_DIR...]
set -euo pipefail
seconds=${1:?seconds}
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/roms"
touch "$scratch/roms/game.zip"
printf '[setup]\nromloc_Text=%s\n' "$scratch/roms" >"$scratch/vantor.INI"
ticks=$(getconf CLK_TCK)

cpu_ticks() { # utime + stime, fields 14 and 15 after the command's name
  sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

for build in "$@"; do
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$build/bin/vantor" --config "$scratch/vantor.INI" >/dev/null 2>&1 &
  pid=$!
  sleep 2 # past the start-up
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  used=$(((after - before) * 1000 / ticks))
  echo "$build: ${used} ms of CPU in ${seconds} s idle"
done
