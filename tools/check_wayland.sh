#!/usr/bin/env bash
# Starts a headless Wayland compositor with XWayland and checks that Vantor
# starts in it twice: by default through XWayland, and natively when no X
# display is there. Needs the Debian packages weston, xwayland and qt6-wayland.
#   tools/check_wayland.sh BUILD_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)/bin
for tool in weston Xwayland; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done
scratch=$(mktemp -d)
chmod 700 "$scratch"
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_RUNTIME_DIR=$scratch
socket=vantor-check-$$
weston --backend=headless-backend.so --socket=$socket --xwayland >"$scratch/weston.log" 2>&1 &
weston_pid=$!
display=
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$scratch/weston.log")
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || fail "weston did not start XWayland"

cat >"$scratch/vantor.INI" <<INI
[setup]
neoloc_Text=$scratch/neorage
romloc_Text=$scratch
INI

# Runs the program a few seconds and reports the platform plugin it loaded.
started_on() {
  (
    export WAYLAND_DISPLAY=$socket QT_DEBUG_PLUGINS=1 ASAN_OPTIONS=detect_leaks=0
    unset QT_QPA_PLATFORM
    if [ -n "$1" ]; then export DISPLAY=$1; else unset DISPLAY; fi
    exec "$bin/vantor" --config "$scratch/vantor.INI"
  ) >"$scratch/run.log" 2>&1 &
  local pid=$!
  for _ in $(seq 30); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || fail "the program ended: $(tail -n3 "$scratch/run.log")"
  kill $pid
  wait $pid 2>/dev/null || true
  sed -n 's|.*platforms/libq\([a-z-]*\)\.so" loaded library.*|\1|p' "$scratch/run.log"
}

[ "$(started_on "$display")" = xcb ] || fail "with an X display the program did not choose XWayland"
case $(started_on "") in wayland*) ;; *) fail "without an X display the program did not run natively" ;; esac
echo "started through XWayland and natively"
