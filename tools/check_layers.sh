#!/usr/bin/env bash
# Fails when a module includes a module it may not use: each floor sees only
# itself and the floors it is built on.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# The floors the DEPENDS of each CMakeLists.txt build, through the modules below.
declare -A allowed=(
  [platform]="platform"
  [gamepad]="gamepad platform"
  [unziplib]="unziplib"
  [imagelib]="imagelib"
  [archive]="archive unziplib platform"
  [controls]="controls platform"
  [skins]="skins"
  [settings]="settings controls skins platform"
  [launcher]="launcher gamepad settings controls skins archive imagelib unziplib platform"
  [app]="app launcher gamepad settings controls skins archive imagelib unziplib platform"
)

status=0
for module in "${!allowed[@]}"; do
  [ -d "$root/$module" ] || continue
  while IFS=: read -r file line text; do
    used=$(sed -E 's/.*#include "([A-Za-z0-9_]+)\/.*/\1/' <<<"$text")
    [ -n "${allowed[$used]+set}" ] || continue # not one of ours
    if [[ " ${allowed[$module]} " != *" $used "* ]]; then
      echo "${file#"$root"/}:$line: $module may not include $used" >&2
      status=1
    fi
  done < <(grep -rnE '^\s*#\s*include "[A-Za-z0-9_]+/' "$root/$module" --include='*.h' \
             --include='*.cpp' --include='*.c' || true)
done
[ $status -eq 0 ] && echo "layers: every include stays on its floor or below"
exit $status
