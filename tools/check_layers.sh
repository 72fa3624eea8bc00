#!/usr/bin/env bash
# Fails when a module includes a module it may not use: each floor sees only
# itself and the floors it is built on.
#
#   check_layers.sh [source-root] [floors.txt]
#
# The floors come from the build: each vantor_module(... DEPENDS ...) and
# vantor_floor() leaves a line in floors.txt when CMake configures. Without
# that file (a fresh clone, `make lint`) a scratch configure writes one.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
floors=${2:-}

if [ -z "$floors" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  if ! cmake -S "$root" -B "$scratch" -DVANTOR_TESTS=OFF -DVANTOR_BENCH=OFF -DVANTOR_FUZZ=OFF \
    >"$scratch/configure.log" 2>&1; then
    cat "$scratch/configure.log" >&2
    echo "layers: the build did not configure, so its floors are unknown" >&2
    exit 1
  fi
  floors=$scratch/floors.txt
fi
if [ ! -s "$floors" ]; then
  echo "layers: no floors in $floors" >&2
  exit 1
fi

# Each line: a target, its folder, then every module it may include. A folder
# with several targets may include what any of them may.
declare -A allowed=() ours=()
while read -r _target folder modules; do
  [ -n "$folder" ] || continue
  allowed[$folder]+=" $folder $modules "
  for module in $folder $modules; do
    ours[$module]=1
  done
done <"$floors"

status=0
for folder in "${!allowed[@]}"; do
  if [ ! -d "$root/$folder" ]; then
    echo "layers: $folder, named in $floors, is not a folder of $root" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    [[ $text =~ include[[:space:]]*\"([A-Za-z0-9_]+)/ ]] || continue
    used=${BASH_REMATCH[1]}
    [ -n "${ours[$used]+set}" ] || continue # not one of ours
    if [[ "${allowed[$folder]}" != *" $used "* ]]; then
      echo "${file#"$root"/}:$line: $folder may not include $used" >&2
      status=1
    fi
  done < <(grep -rnE '^\s*#\s*include "[A-Za-z0-9_]+/' "$root/$folder" --include='*.h' \
    --include='*.cpp' --include='*.c' || true)
done
[ $status -eq 0 ] && echo "layers: every include stays on its floor or below"
exit $status
