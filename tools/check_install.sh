#!/usr/bin/env bash
# Installs Vantor into a scratch root and checks the result: the files in
# their places, the desktop entry and metainfo valid, the unzip library
# usable through its pkg-config file, and the installed program answering
# and starting on the demo library without LD_LIBRARY_PATH.
#   tools/check_install.sh BUILD_DIR            installs with DESTDIR
#   tools/check_install.sh BUILD_DIR PACKAGE.deb unpacks the package
set -euo pipefail
build=$(cd "$1" && pwd)
deb=${2:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ -n "$deb" ]; then
  dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
  depends=$(dpkg-deb --field "$deb" Depends)
  for lib in libqt6widgets6 libzip4 libdeflate0; do
    grep -q "$lib" <<<"$depends" || fail "package does not depend on $lib"
  done
  dpkg-deb -x "$deb" "$root"
else
  DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
fi
usr=$root/usr
app_id=org.vantor.Vantor

for f in bin/vantor lib/vantor/libunziplib.so.1 include/vantor/unziplib.h \
         share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
         share/icons/hicolor/48x48/apps/$app_id.png share/icons/hicolor/256x256/apps/$app_id.png; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
pc=$(find "$usr/lib" -name unziplib.pc | head -n1)
[ -n "$pc" ] || fail "missing unziplib.pc"
[ -e "$usr/bin/libunziplib.so" ] && fail "the library sits beside the program"

# The program finds its private library through its run path.
runpath=$(readelf -d "$usr/bin/vantor" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
grep -q '\$ORIGIN/../lib/vantor' <<<"$runpath" || fail "run path is '$runpath'"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr/share/applications/$app_id.desktop"
else
  echo "desktop-file-validate not installed; desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml"
else
  echo "appstreamcli not installed; metainfo not validated"
fi

# A caller built only from the installed header and pkg-config file.
cat >"$scratch/caller.c" <<'C'
#include <unziplib.h>
#include <stdio.h>
int main(void) { printf("%d\n", (int)GetUnzipVersion()); return 0; }
C
flags=$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs unziplib)
# A sanitizer build of the library needs its runtime in the caller too.
readelf -d "$usr/lib/vantor/libunziplib.so.1" | grep -q libasan && flags+=" -fsanitize=address,undefined"
cc -o "$scratch/caller" "$scratch/caller.c" $flags
answer=$(env -u LD_LIBRARY_PATH ASAN_OPTIONS=detect_leaks=0 "$scratch/caller")
[ "$answer" = 140 ] || fail "the library answers '$answer'"

# The installed program, offscreen and with no library path.
installed=(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$usr/bin/vantor")
run() { "${installed[@]}" "$@"; }
[ "$(run --version)" = "Vantor 0.1" ] || fail "--version"
run --help | grep -q -- '--config <file>' || fail "--help"
set +e
run --no-such-option 2>"$scratch/err"
code=$?
set -e
[ $code -eq 2 ] || fail "unknown option exits with $code"
grep -q "Unknown option 'no-such-option'" "$scratch/err" || fail "unknown option message"

# Started on the demo library, it is still up a few seconds later.
if [ -x "$build/bin/vantor-demo" ]; then
  demo=$scratch/demo
  mkdir -p "$demo"
  QT_QPA_PLATFORM=offscreen "$build/bin/vantor-demo" make "$demo" >/dev/null
  for folder in roms cdroms; do
    for game in "$demo/games/$folder"/*/; do
      (cd "$game" && zip -q -r "$demo/$folder/$(basename "$game").zip" .)
    done
  done
  cat >"$demo/vantor.INI" <<INI
[setup]
neoloc_Text=$demo/neorage/neorage
Snapsloc_Text=$demo/snaps
romloc_Text=$demo/roms
cdromloc_Text=$demo/cdroms
INI
  # env execs the program, so the pid is the program's own.
  "${installed[@]}" --config "$demo/vantor.INI" >"$scratch/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 30); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || fail "the program ended on the demo library"
  kill -TERM $pid
  wait $pid 2>/dev/null || true

  # Pressing play unpacks the first game beside the emulator and starts it.
  if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    cat >"$demo/neorage/neorage" <<SCRIPT
#!/bin/sh
exec "$build/bin/vantor-demo" emulate "\$@"
SCRIPT
    chmod +x "$demo/neorage/neorage"
    cat >"$scratch/play.sh" <<'PLAY'
"$@" >/dev/null 2>&1 &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid $pid | head -n1)
[ -n "$window" ] || { kill $pid; exit 1; }
sleep 1
# The play button of the small skin.
xdotool mousemove --window "$window" 65 258 click 1
for _ in $(seq 200); do
  xdotool search --onlyvisible --name "Stand-in emulator" >/dev/null && break
  sleep 0.1
done
xdotool search --onlyvisible --name "Stand-in emulator" >/dev/null && played=yes
# The stand-in emulator first, while it is still the program's child.
pkill -P $pid 2>/dev/null
kill $pid
[ -n "${played:-}" ]
PLAY
    xvfb-run -a bash "$scratch/play.sh" env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=xcb \
      ASAN_OPTIONS=detect_leaks=0 "$usr/bin/vantor" --config "$demo/vantor.INI" ||
      fail "pressing play did not start the emulator"
    [ -e "$demo/neorage/~del~~/readme.txt" ] || fail "the game was not unpacked"
  else
    echo "xvfb-run or xdotool not installed; play not checked"
  fi
fi
echo "installed tree checked: $(cd "$root" && find . -type f | wc -l) files"
