#!/usr/bin/env bash
# Pictures of Vantor on the demo library, taken on a virtual screen:
#   main-big.png    the main window with the big skin
#   main-small.png  the main window with the small skin
#   setup.png       the setup window
#
#   tools/screenshots.sh <output folder> [build folder]
#
# The build folder (default "build") is built first when it holds no program.
# Needs xvfb-run and xdotool.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 <output folder> [build folder]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
build=${2:-build}
case $build in /*) ;; *) build=$root/$build ;; esac

# Everything below runs on one virtual screen of a common size.
if [ -z "${VANTOR_SCREENSHOTS_INSIDE:-}" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
  done
  if [ ! -x "$build/bin/vantor" ] || [ ! -x "$build/bin/vantor-demo" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_TESTS=OFF
    cmake --build "$build" -j "$(nproc)" --target vantor vantor-demo
  fi
  VANTOR_SCREENSHOTS_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" \
    bash "$0" "$out" "$build"
fi

bin=$build/bin
# The paths show in the setup window, so the library lies where a player's
# would, under a short name that fits its fields (VANTOR_DEMO_DIR chooses
# another; a folder that is not a demo library is never replaced).
demo=${VANTOR_DEMO_DIR:-$HOME/arcade}
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
  [ -e "$demo/.vantor-demo" ] && rm -rf "$demo"
}
trap cleanup EXIT
# Sanitised builds report leaks of the killed program; they do not matter here.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export QT_QPA_PLATFORM=xcb

VANTOR_DEMO_DIR=$demo VANTOR_DEMO_PREPARE_ONLY=1 bash "$root/tools/demo.sh" "$build" >/dev/null
ini=$demo/vantor.INI

# The id of the visible window with this exact title, once it is there.
window() {
  xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Saves what the screen shows where the window stands.
shoot() {
  local id=$1 file=$2 X Y WIDTH HEIGHT SCREEN WINDOW
  sleep 1 # let the window paint
  eval "$(xdotool getwindowgeometry --shell "$id")"
  "$bin/vantor-demo" grab "$out/$file" "$X" "$Y" "$WIDTH" "$HEIGHT"
  echo "$out/$file (${WIDTH}x${HEIGHT})"
}

start() {
  "$bin/vantor" --config "$ini" >/dev/null 2>&1 &
  app=$!
}

stop() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=
}

# The stored skin decides which one comes up: 1 the big one, 0 the small one.
for skin in big small; do
  tag=1
  [ "$skin" = small ] && tag=0
  sed -i "s/^FormShaper1_Tag=.*/FormShaper1_Tag=$tag/" "$ini"
  start
  main=$(window Vantor)
  shoot "$main" "main-$skin.png"
  if [ "$skin" = small ]; then
    # The setup button, as the main window places it.
    xdotool mousemove --window "$main" 204 256 click 1
    shoot "$(window Setup)" setup.png
  fi
  stop
done
