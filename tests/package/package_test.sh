#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no fault but the one
# warning kept, the desktop entry, the AppStream metadata and the manual pages
# are valid, and the programs unpacked into a private root answer, draw a map
# as the build tree's do and, on a private X server, start the editor, which
# finds its images and shows the frame the build tree's headless run shows,
# and the play-test.
# usage: package_test.sh BUILD_FOLDER [TEST_FOLDER]   (after cpack -G DEB in
# BUILD_FOLDER; the desktop suite is taken from TEST_FOLDER, by default the same)
set -euo pipefail
build=$(realpath "$1")
tests=$(realpath "${2:-$1}")
deb=$(ls -t "$build"/tessera_*.deb | head -n 1) # the newest
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Exec=env ... sets the variable that sends the editor's maps to the user's
# folder; env is in coreutils, which every system has, not in this package.
lintian --fail-on error,warning --suppress-tags desktop-command-not-in-package "$deb" ||
  fail "lintian"

root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >"$work/appstream.log" ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
for size in 16 24 32 48 64 128 256; do
  [ -s "$usr/share/icons/hicolor/${size}x$size/apps/tessera.png" ] || fail "no ${size}x$size icon"
done

# Every command in bin leads into the program folder and has a manual page
# that man renders without a warning and that holds no control character but
# the line end and tab (a form feed where a font escape was meant renders
# without a word). The pages quote the editor's Japanese messages, so they are
# rendered in a UTF-8 locale, whatever the caller's.
for command in "$usr"/bin/*; do
  name=$(basename "$command")
  [ "$(readlink -f "$command")" = "$usr/lib/tessera/$name" ] || fail "$name: not a link into lib/tessera"
  page=$(ls "$usr"/share/man/man[16]/"$name".[16].gz 2>/dev/null || true)
  if [ -z "$page" ]; then
    fail "$name: no manual page"
  else
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$name: man warns: $warnings"
    controls=$(zcat "$page" | LC_ALL=C grep -naP '[\x00-\x08\x0b-\x1f\x7f]' || true)
    [ -z "$controls" ] || fail "$name: control characters in the manual page: $controls"
  fi
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$command" --version)
  [ "$answer" = "$name $version" ] || fail "$name --version: \"$answer\", expected \"$name $version\""
done

# A small map of one game screen, drawn by the unpacked tool (which must find
# the chip sheet and sprites in its program folder) and by the build tree's.
mkdir "$work/maps"
cd "$work/maps"
awk 'BEGIN { for (y = 0; y < 72; ++y) { line = ""; for (x = 0; x < 96; ++x) line = line ((x * 7 + y * 3) % 120) " "; printf "%s\r\n", line } }' >small_data.txt
awk 'BEGIN { for (y = 0; y < 72; ++y) { line = ""; for (x = 0; x < 96; ++x) line = line ((x + y) % 9 == 0 ? 1 : 0) " "; printf "%s\r\n", line } }' >small_zk.txt
awk 'BEGIN { for (y = 0; y < 72; ++y) { line = ""; for (x = 0; x < 96; ++x) line = line ((x * y) % 31 == 5 ? 3 : 0) " "; printf "%s\r\n", line } }' >small_teki.txt
"$usr/bin/tessera-map" render small unpacked.png --scale 2 --enemies || fail "unpacked tessera-map render"
"$build/tessera-map" render small built.png --scale 2 --enemies || fail "built tessera-map render"
cmp -s unpacked.png built.png || fail "the unpacked tessera-map draws the map differently"
[ "$(head -c 8 unpacked.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "no PNG picture"

# The play-test on that map, headless, shows what the build tree's shows: it
# found the player's sprites in run/ beside it.
printf 'frames 90\nscreenshot %s\nclose\n' unpacked.bmp >unpacked.replay
printf 'frames 90\nscreenshot %s\nclose\n' built.bmp >built.replay
"$usr/bin/tessera-replay" --run small unpacked.replay >/dev/null || fail "unpacked play-test replay"
"$build/tessera-replay" --run small built.replay >/dev/null || fail "built play-test replay"
cmp -s unpacked.bmp built.bmp || fail "the unpacked play-test shows another picture"

# The unpacked editor on a private X server: its frame equals the headless run
# of the build tree, and started as the menu starts it, it saves its maps in
# the user's maps folder; F5 plays the map in the editor's window.
TESSERA_TEST_EDITOR="$usr/bin/tessera" \
  "$tests/tests/desktop/desktop_test" --gtest_filter='DesktopEditor.FrameAndPanelClickMatchTheHeadlessRun:DesktopEditor.StartedFromTheMenuItSavesInTheUsersMapsFolder:DesktopEditor.F5PlaysTheMapInTheEditorsWindowAndEscReturnsToTheEditor' ||
  fail "the unpacked editor and play-test on the desktop"

[ "$failures" -eq 0 ] && echo "package test passed: $deb"
exit $((failures > 0))
