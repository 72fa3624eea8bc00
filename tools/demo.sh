#!/usr/bin/env bash
# Builds a demo library in a private folder and starts Vantor on it, with its
# own settings file, so the whole flow can be tried without an emulator.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build=$root/$build ;; esac
demo=${VANTOR_DEMO_DIR:-$build/demo}
bin=$build/bin

# A folder this script made carries a mark; any other is left alone.
if [ -d "$demo" ] && [ ! -e "$demo/.vantor-demo" ] && [ -n "$(ls -A "$demo")" ]; then
  echo "$0: $demo is not a demo library made here; not replacing it" >&2
  exit 1
fi
rm -rf "$demo"
mkdir -p "$demo"
touch "$demo/.vantor-demo"
"$bin/vantor-demo" make "$demo"
for folder in roms cdroms; do
  for game in "$demo/games/$folder"/*/; do
    name=$(basename "$game")
    (cd "$game" && zip -q -r "$demo/$folder/$name.zip" .)
  done
done
rm -rf "$demo/games"

# The stand-in emulator: a script that hands its arguments to vantor-demo.
cat > "$demo/neorage/neorage" <<SCRIPT
#!/bin/sh
exec "$bin/vantor-demo" emulate "\$@"
SCRIPT
chmod +x "$demo/neorage/neorage"

cat > "$demo/vantor.INI" <<INI
[main]
FormShaper1_Tag=1
[setup]
neoloc_Text=$demo/neorage/neorage
Snapsloc_Text=$demo/snaps
romloc_Text=$demo/roms
cdromloc_Text=$demo/cdroms
frameskip_Value=2
scanlines_ItemIndex=2
INI

echo "Demo library in $demo"
# Other tools only want the library.
[ "${VANTOR_DEMO_PREPARE_ONLY:-}" = 1 ] && exit 0
exec "$bin/vantor" --config "$demo/vantor.INI"
