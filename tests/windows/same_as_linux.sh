#!/usr/bin/env bash
# The Windows replay driver and map tool under Wine against the Linux ones: the
# editor driven by a replay script saves the same three map files; of that map
# `tessera-map render` draws the same PNG bytes, and a TMX document `import`ed
# gives the same map files again. Every save goes through the Windows file
# work (lock, journal, all-or-none replacement).
#
#   same_as_linux.sh LINUX_BUILD WINDOWS_BUILD WINE_TEMPLATE SCRIPT
set -euo pipefail

linux=$1 windows=$2 template=$3 script=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"

on_windows() { # on_windows PROGRAM ARGUMENTS...: PROGRAM.exe in the Windows folder
  local program=$1
  shift
  (cd "$work/windows" && "$here/wine_run.sh" --template "$template" "$windows/$program.exe" "$@")
}

same() { # same FILE...: each FILE equal in both folders
  for file in "$@"; do
    cmp "$work/linux/$file" "$work/windows/$file" || {
      echo "$file differs between Linux and Windows" >&2
      exit 1
    }
  done
}

# The map "map", drawn and saved by the editor on each system.
(cd "$work/linux" && "$linux/tessera-replay" "$script" >/dev/null)
on_windows tessera-replay "$script" >/dev/null
same map_data.txt map_zk.txt map_teki.txt

# Every layer over the chips, one pixel a cell and at full size.
for scale in 8 1; do
  (cd "$work/linux" && "$linux/tessera-map" render map "s$scale.png" --scale "$scale" \
    --attributes --enemies)
  on_windows tessera-map render map "s$scale.png" --scale "$scale" --attributes --enemies
  same "s$scale.png"
done

# The map as a TMX document, read back into a new map on each system.
(cd "$work/linux" && "$linux/tessera-map" export map map.tmx)
cp "$work/linux/map.tmx" "$work/windows/"
(cd "$work/linux" && "$linux/tessera-map" import map.tmx back)
on_windows tessera-map import map.tmx back
same back_data.txt back_zk.txt back_teki.txt
# The same files beside the new map (its lock file stays, as on Linux): no
# journal, temporary or spare.
beside() { (cd "$work/$1" && ls -A | grep -v '^map' | tr '\n' ' '); }
[ "$(beside linux)" = "$(beside windows)" ] || {
  echo "the folders differ: Linux $(beside linux), Windows $(beside windows)" >&2
  exit 1
}
echo "the same map files and pictures on Linux and Windows"
