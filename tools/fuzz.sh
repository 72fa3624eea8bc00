#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz and runs
# each for FUZZ_TIME seconds (default 600), all at once; FUZZ_SEED fixes the
# random seed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
time=${FUZZ_TIME:-600}
# FUZZ_TARGETS picks some of them (all by default).
read -r -a targets <<<"${FUZZ_TARGETS:-headerwalk unzipexec pcx profile gamelist}"
# A folder configured from another source tree is started afresh.
grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$build/CMakeCache.txt" 2>/dev/null ||
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_FUZZ=ON \
  -DVANTOR_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# Seed corpus: archives the zip tool writes in its usual shapes.
seeds=$build/seeds
if [ ! -d "$seeds" ]; then
  mkdir -p "$seeds/src/sub"
  (cd "$seeds/src" && printf 'alpha\n%.0s' {1..200} >a.txt && python3 -c 'import random,sys; random.seed(7); sys.stdout.buffer.write(random.randbytes(3000))' >b.bin &&
    echo sub >sub/c.txt)
  (cd "$seeds/src" && zip -q -r ../plain.zip . && zip -q -r -0 ../stored.zip . &&
    zip -q -r -fz ../zip64.zip . && zip -q -P secret ../locked.zip a.txt &&
    zip -q - a.txt b.bin | cat >../streamed.zip)
  python3 -c 'import random,sys; random.seed(11); sys.stdout.buffer.write(random.randbytes(500))' >"$seeds/stub"
  cat "$seeds/stub" "$seeds/plain.zip" >"$seeds/concatenated.zip"
  rm -rf "$seeds/src" "$seeds/stub"
fi
for target in headerwalk unzipexec; do
  corpus=$build/corpus-$target
  mkdir -p "$corpus"
  for seed in "$seeds"/*.zip; do
    if [ "$target" = unzipexec ]; then
      # The first byte picks the switches.
      for flags in '\x00' '\x04' '\x43' '\x8e'; do
        { printf "$flags"; cat "$seed"; } >"$corpus/$(basename "$seed")-$(printf '%s' "$flags" | tr -d '\\')"
      done
    else
      cp "$seed" "$corpus/"
    fi
  done
done

mkdir -p "$build/corpus-pcx"

# Settings files: byte 0 picks the section, byte 1 the key, 2-9 are the value.
mkdir -p "$build/corpus-profile"
printf '\x00\x01value  x[setup]\r\nFlags=0\nneoloc_Text=/neo\r\n\n[main]\nFormShaper1_Tag=1' \
  >"$build/corpus-profile/seed-mixed"
printf '\x01\x05"quo"te;junk\n[a]\nk=1\n[A]\nk=2\n  x = y \n' >"$build/corpus-profile/seed-dup"

# Game lists in the shapes real files have.
mkdir -p "$build/corpus-gamelist"
printf '<?xml version="1.0"?>\n<!DOCTYPE datafile PUBLIC "-//x//DTD//EN" "x.dtd">\n<datafile><header><name>n</name><clrmamepro/></header><game name="bios" isbios="yes"><description>B &amp; C</description><year>1990</year><manufacturer>M</manufacturer><rom name="b.bin" size="4" crc="DEADBEEF"/></game><game name="g" cloneof="p" romof="bios"><rom name="b.bin" merge="b.bin" size="4" crc="deadbeef"/><rom name="n.bin" size="1" status="nodump"/><disk name="d"/><sample name="s"/></game></datafile>\n' \
  >"$build/corpus-gamelist/seed-datafile"
printf '<?xml version="1.0"?>\n<!DOCTYPE emu [\n<!ELEMENT emu (machine+)>\n]>\n<emu><machine name="m" romof="b"><description>T</description><rom name="a" size="2" crc="01234567"/><chip/></machine></emu>\n' \
  >"$build/corpus-gamelist/seed-machines"

pids=()
for target in "${targets[@]}"; do
  dict=()
  [ "$target" = pcx ] || [ "$target" = profile ] || [ "$target" = gamelist ] ||
    dict=(-dict=../fuzz/zip.dict)
  # Inputs that once stopped the target are read first, never written to.
  kept=()
  [ -d "tests/data/fuzz/$target" ] && kept=("$PWD/tests/data/fuzz/$target")
  (cd "$build" && bin/fuzz_$target -max_total_time="$time" ${FUZZ_SEED:+-seed=$FUZZ_SEED} "${dict[@]}" -max_len=65536 \
    -artifact_prefix="$PWD/crash-$target-" -print_final_stats=1 "$PWD/corpus-$target" "${kept[@]}" \
    >fuzz-$target.log 2>&1) &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
for target in "${targets[@]}"; do
  echo "== $target"
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY' "$build/fuzz-$target.log" || true
done
exit $status
