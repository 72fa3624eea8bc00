#!/usr/bin/env bash
# The layer check against a made-up tree: it passes includes that keep to
# their floors and fails one that reaches up or sideways, naming the line.
#   layers_test.sh path/to/check_layers.sh
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/low" "$tree/side" "$tree/high"
# Each line: a target, its folder, the modules it may include.
printf 'low low\nside side\nhigh high low\n' >"$tree/floors.txt"
printf '#include "low/a.h"\n#include <vector>\n' >"$tree/high/b.cpp"
printf '#pragma once\n' >"$tree/low/a.h"
printf '#include "other/x.h"\n' >"$tree/side/c.cpp" # not one of ours

fail() {
  echo "layers_test: $*" >&2
  exit 1
}
bash "$check" "$tree" "$tree/floors.txt" >/dev/null 2>&1 || fail "a tree on its floors was refused"

for bad in 'low/a.h:2: low may not include high|#include "high/b.h"' \
  'side/c.cpp:2: side may not include low|  #  include "low/a.h"'; do
  expected=${bad%%|*}
  file=$tree/${expected%%:*}
  cp "$file" "$file.kept"
  printf '%s\n' "${bad#*|}" >>"$file"
  if out=$(bash "$check" "$tree" "$tree/floors.txt" 2>&1); then
    fail "accepted: $expected"
  fi
  [[ $out == *"$expected"* ]] || fail "expected '$expected', got: $out"
  mv "$file.kept" "$file"
done

: >"$tree/empty.txt"
bash "$check" "$tree" "$tree/empty.txt" >/dev/null 2>&1 && fail "ran without any floors"
echo "layers_test: the check refuses what reaches up or sideways"
