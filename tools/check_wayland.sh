#!/usr/bin/env bash
# Starts a headless Wayland compositor and checks Vantor in it: that it starts
# through XWayland by default and natively when no X display is there, and,
# in the compositor's own screenshots, that nothing of the skin's mask colour
# shows around the main window's outline, natively and through XWayland.
# Needs the Debian packages weston and qt6-wayland (skipped without them);
# the XWayland half needs xwayland.
#   tools/check_wayland.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
bin=$build/bin
checker=$build/tests/app_shot_corners
for tool in weston weston-screenshooter; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done
dpkg -s qt6-wayland >/dev/null 2>&1 || { echo "qt6-wayland is not installed" >&2; exit 77; }
xwayland=
command -v Xwayland >/dev/null && xwayland=--xwayland
scratch=$(mktemp -d)
chmod 700 "$scratch"
weston_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_RUNTIME_DIR=$scratch
socket=vantor-check-$$
# The pixman renderer draws what a screenshot shows; --debug offers the
# screenshot protocol.
weston --backend=headless-backend.so --use-pixman --debug --width=1024 --height=768 \
  --socket=$socket $xwayland >"$scratch/weston.log" 2>&1 &
weston_pid=$!
display=
for _ in $(seq 100); do
  if [ -n "$xwayland" ]; then
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$scratch/weston.log")
    [ -n "$display" ] && break
  else
    [ -S "$scratch/$socket" ] && break
  fi
  sleep 0.1
done
[ -S "$scratch/$socket" ] || fail "weston did not start"
[ -z "$xwayland" ] || [ -n "$display" ] || fail "weston did not start XWayland"

# The big skin, whose corners are the widest.
cat >"$scratch/vantor.INI" <<INI
[main]
FormShaper1_Tag=1
[setup]
neoloc_Text=$scratch/neorage
romloc_Text=$scratch
INI

# Starts the program on X display $1 (none: no X display) and platform $2
# (none: the program's own choice).
start() {
  (
    export WAYLAND_DISPLAY=$socket QT_DEBUG_PLUGINS=1 ASAN_OPTIONS=detect_leaks=0
    if [ -n "$2" ]; then export QT_QPA_PLATFORM=$2; else unset QT_QPA_PLATFORM; fi
    if [ -n "$1" ]; then export DISPLAY=$1; else unset DISPLAY; fi
    exec "$bin/vantor" --config "$scratch/vantor.INI"
  ) >"$scratch/run.log" 2>&1 &
  app_pid=$!
}
stop() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}
running() {
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(tail -n3 "$scratch/run.log")"
}

# Runs the program a few seconds and reports the platform plugin it loaded.
started_on() {
  start "$1" ""
  for _ in $(seq 30); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  running
  stop
  sed -n 's|.*platforms/libq\([a-z-]*\)\.so" loaded library.*|\1|p' "$scratch/run.log"
}

# Screenshots until the main window's skin is on show, then checks that no
# mask colour shows around it. $1 names the case, $2 and $3 are for start.
outline_clean() {
  [ -x "$checker" ] || fail "$checker is not built"
  start "$2" "$3"
  mkdir -p "$scratch/shots"
  local verdict=2 shot=
  for _ in $(seq 40); do
    sleep 0.25
    running
    rm -f "$scratch"/shots/*.png
    (cd "$scratch/shots" && WAYLAND_DISPLAY=$socket weston-screenshooter >/dev/null 2>&1) ||
      fail "weston-screenshooter failed"
    shot=$(ls "$scratch"/shots/*.png 2>/dev/null | head -n1)
    [ -n "$shot" ] || continue
    verdict=0
    "$checker" "$shot" backbig >"$scratch/verdict.txt" || verdict=$?
    [ $verdict -ne 2 ] && break
  done
  stop
  # VANTOR_WAYLAND_SHOTS=folder keeps the last screenshot of each case there.
  [ -n "${VANTOR_WAYLAND_SHOTS:-}" ] && [ -n "$shot" ] && cp "$shot" "$VANTOR_WAYLAND_SHOTS/$1.png"
  case $verdict in
  0) echo "$1: no mask colour around the window ($(cat "$scratch/verdict.txt"))" ;;
  1) fail "$1: the mask colour shows around the window: $(cat "$scratch/verdict.txt")" ;;
  *) fail "$1: the window never showed its skin: $(cat "$scratch/verdict.txt" 2>/dev/null)" ;;
  esac
}

if [ -n "$xwayland" ]; then
  [ "$(started_on "$display")" = xcb ] || fail "with an X display the program did not choose XWayland"
fi
case $(started_on "") in wayland*) ;; *) fail "without an X display the program did not run natively" ;; esac
echo "started natively${xwayland:+ and through XWayland}"

outline_clean native "" wayland
if [ -n "$xwayland" ]; then
  outline_clean xwayland "$display" xcb
else
  echo "xwayland is not installed: the XWayland half is skipped"
fi
