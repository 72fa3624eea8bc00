#!/usr/bin/env bash
# Installs Vantor into a scratch root and checks the result: the files in
# their places, the desktop entry and metainfo valid, the unzip library
# usable through its pkg-config file, and the installed program answering
# and starting on the demo library without LD_LIBRARY_PATH.
#   tools/check_install.sh BUILD_DIR                      installs with DESTDIR
#   tools/check_install.sh BUILD_DIR vantor_*.deb vantor-dev_*.deb
#                                                         unpacks the packages
set -euo pipefail
build=$(cd "$1" && pwd)
shift
debs=("$@")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
fail() { echo "FAIL: $*" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=org.vantor.Vantor

# Where each file belongs: the program's package or the development one.
runtime_files=(bin/vantor share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
               share/icons/hicolor/48x48/apps/$app_id.png share/icons/hicolor/256x256/apps/$app_id.png
               share/man/man1/vantor.1.gz share/doc/vantor/copyright share/doc/vantor/changelog.gz)
dev_files=(include/vantor/unziplib.h share/doc/vantor-dev/copyright share/doc/vantor-dev/changelog.gz)

if [ ${#debs[@]} -gt 0 ]; then
  [ ${#debs[@]} -eq 2 ] || fail "give the vantor and the vantor-dev package"
  for deb in "${debs[@]}"; do
    dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Section|Depends):'
    [ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "$deb is not version $version"
    case $(dpkg-deb --field "$deb" Package) in
      vantor) runtime_deb=$deb ;;
      vantor-dev) dev_deb=$deb ;;
      *) fail "unexpected package $deb" ;;
    esac
  done
  [ -n "${runtime_deb:-}" ] && [ -n "${dev_deb:-}" ] || fail "give the vantor and the vantor-dev package"
  depends=$(dpkg-deb --field "$runtime_deb" Depends)
  for lib in libqt6widgets6 libzip4 libdeflate0 libisal2; do
    grep -q "$lib" <<<"$depends" || fail "vantor does not depend on $lib"
  done
  grep -qx "vantor (= $version)" <<<"$(dpkg-deb --field "$dev_deb" Depends)" ||
    fail "vantor-dev does not depend on this very vantor"
  # The development files are in vantor-dev only, and the other way round.
  runtime_list=$(dpkg-deb -c "$runtime_deb")
  dev_list=$(dpkg-deb -c "$dev_deb")
  for f in "${dev_files[@]}" pkgconfig/unziplib.pc 'vantor/libunziplib.so '; do
    grep -qF -- "$f" <<<"$runtime_list" && fail "vantor holds $f"
  done
  for f in "${runtime_files[@]}" vantor/libunziplib.so.1; do
    grep -qF -- "$f" <<<"$dev_list" && fail "vantor-dev holds $f"
  done
  # No ldconfig run for a library folder of the program's own.
  [ -z "$(dpkg-deb --ctrl-tarfile "$runtime_deb" | tar -t | grep -E 'post(inst|rm)|triggers')" ] ||
    fail "vantor has maintainer scripts"
  for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$root"; done
else
  DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
fi
usr=$root/usr

for f in "${runtime_files[@]}"; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
[ -n "${dev_deb:-}" ] || dev_files=(include/vantor/unziplib.h)
for f in "${dev_files[@]}"; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
library=$(find "$usr/lib" -name libunziplib.so.1)
[ -n "$library" ] || fail "missing libunziplib.so.1"
[ -e "$(dirname "$library")/libunziplib.so" ] || fail "missing the unversioned link libunziplib.so"
pc=$(find "$usr/lib" -name unziplib.pc | head -n1)
[ -n "$pc" ] || fail "missing unziplib.pc"
[ -e "$usr/bin/libunziplib.so" ] && fail "the library sits beside the program"
# The compressed documents as Debian wants them: the most, with no name or time.
for f in share/man/man1/vantor.1.gz share/doc/vantor/changelog.gz; do
  gzip -t "$usr/$f" || fail "$f is not gzip"
  [ "$(od -An -tu1 -j4 -N6 "$usr/$f" | tr -s ' ')" = " 0 0 0 0 2 3" ] ||
    fail "$f keeps a time stamp or is not compressed the most"
done
zcat "$usr/share/doc/vantor/changelog.gz" | head -n1 | grep -q "^vantor ($version) " ||
  fail "the change log does not start with version $version"

# The program finds its private library through its run path.
libdir=${library#"$usr/"}
libdir=${libdir%/*}
runpath=$(readelf -d "$usr/bin/vantor" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
grep -qF "\$ORIGIN/../$libdir" <<<"$runpath" || fail "run path is '$runpath', the library is in $libdir"

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
grep -q rpath <<<"$flags" && fail "the pkg-config file sets a run path: $flags"
# A sanitizer build of the library needs its runtime in the caller too.
readelf -d "$library" | grep -q libasan && flags+=" -fsanitize=address,undefined"
cc -o "$scratch/caller" "$scratch/caller.c" $flags
# The library is private: a caller finds it through a path of its own choice.
answer=$(env LD_LIBRARY_PATH="$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --variable=libdir unziplib)" \
  ASAN_OPTIONS=detect_leaks=0 "$scratch/caller")
[ "$answer" = 140 ] || fail "the library answers '$answer'"

# The installed program with no display and no library path: it answers on
# the terminal before it needs a window system.
installed=(env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
           ASAN_OPTIONS=detect_leaks=0 "$usr/bin/vantor")
run() { "${installed[@]}" "$@"; }
[ "$(run --version)" = "Vantor $version" ] || fail "--version"
run --help | grep -q -- '--config <file>' || fail "--help"
# The manual page describes every option the help lists.
for option in $(run --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  zcat "$usr/share/man/man1/vantor.1.gz" | grep -qF -- "${option//-/\\-}" ||
    fail "the manual page does not describe $option"
done
set +e
run --no-such-option 2>"$scratch/err"
code=$?
set -e
[ $code -eq 2 ] || fail "unknown option exits with $code"
grep -q "Unknown option 'no-such-option'" "$scratch/err" || fail "unknown option message"

# Started on the demo library, it is still up a few seconds later. Qt's own
# -platform option chooses the display, so it reached the application object.
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
  "${installed[@]}" -platform offscreen --config "$demo/vantor.INI" >"$scratch/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 30); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || { cat "$scratch/run.log" >&2; fail "the program ended on the demo library"; }
  kill -TERM $pid
  wait $pid 2>/dev/null || true

  # Pressing play unpacks the first game beside the emulator and starts it;
  # once the emulator has ended, the scratch folder is gone again.
  if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    # The stand-in emulator notes its pid and what it found in the folder it
    # was given, before it shows its window.
    cat >"$demo/neorage/neorage" <<SCRIPT
#!/bin/sh
echo \$\$ >"$scratch/emulator.pid"
ls -A "\$1" >"$scratch/seen.part" && mv "$scratch/seen.part" "$scratch/seen"
exec "$build/bin/vantor-demo" emulate "\$@"
SCRIPT
    chmod +x "$demo/neorage/neorage"
    cat >"$scratch/play.sh" <<'PLAY'
# Arguments: the check's scratch folder, the emulator's scratch folder, then
# the program to start. Every wait is bounded.
work=$1 game=$2
shift 2
"$@" >/dev/null 2>&1 &
pid=$!
stop() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
give_up() { echo "FAIL: $*" >&2; [ -f "$work/emulator.pid" ] && kill "$(cat "$work/emulator.pid")" 2>/dev/null; stop; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
await() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}
window=$(timeout 60 xdotool search --sync --onlyvisible --pid $pid | head -n1)
[ -n "$window" ] || give_up "the main window did not show"
# The play button of the small skin. A click that comes before the window
# takes input is lost, so it is repeated until the emulator has started; the
# program ignores clicks while a game is running.
for _ in 1 2 3 4 5; do
  xdotool mousemove --window "$window" 65 258 click 1
  await 100 test -f "$work/seen" && break
done
[ -f "$work/seen" ] || give_up "pressing play did not start the emulator"
grep -qx readme.txt "$work/seen" || give_up "the emulator found '$(tr '\n' ' ' <"$work/seen")' in its folder"
# End the emulator and wait for the program to clean up after it.
kill "$(cat "$work/emulator.pid")"
await 300 test ! -e "$game" || give_up "the scratch folder was not removed after the emulator ended"
kill -0 "$pid" 2>/dev/null || give_up "the program ended with the emulator"
stop
exit 0
PLAY
    xvfb-run -a bash "$scratch/play.sh" "$scratch" "$demo/neorage/~del~~" \
      env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
      "$usr/bin/vantor" --config "$demo/vantor.INI" || fail "playing the first game"
  else
    echo "xvfb-run or xdotool not installed; play not checked"
  fi
fi
echo "installed tree checked: $(cd "$root" && find . -type f | wc -l) files"
