#!/usr/bin/env bash
# The Windows map tool under Wine against the Linux one, on a map the Linux
# editor made from a replay script: the pictures `render` draws are the same
# bytes, and a TMX document `import`ed gives the same three map files, saved
# through the Windows file work (lock, journal, all-or-none replacement).
#
#   same_as_linux.sh LINUX_BUILD WINDOWS_BUILD WINE_TEMPLATE SCRIPT
set -euo pipefail

linux=$1 windows=$2 template=$3 script=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"

wine_map() { # wine_map ARGUMENTS...: tessera-map.exe in the Windows folder
  (cd "$work/windows" && "$here/wine_run.sh" --template "$template" "$windows/tessera-map.exe" "$@")
}

same() { # same FILE...: each FILE equal in both folders
  for file in "$@"; do
    cmp "$work/linux/$file" "$work/windows/$file" || {
      echo "$file differs between Linux and Windows" >&2
      exit 1
    }
  done
}

# The map "map", drawn and saved by the editor on Linux.
(cd "$work/linux" && "$linux/tessera-replay" "$script" >/dev/null)
for part in data zk teki; do cp "$work/linux/map_$part.txt" "$work/windows/"; done

# Every layer over the chips, one pixel a cell and at full size.
for scale in 8 1; do
  (cd "$work/linux" && "$linux/tessera-map" render map "s$scale.png" --scale "$scale" \
    --attributes --enemies)
  wine_map render map "s$scale.png" --scale "$scale" --attributes --enemies
  same "s$scale.png"
done

# The map as a TMX document, read back into a new map on each system.
(cd "$work/linux" && "$linux/tessera-map" export map map.tmx)
cp "$work/linux/map.tmx" "$work/windows/"
(cd "$work/linux" && "$linux/tessera-map" import map.tmx back)
wine_map import map.tmx back
same back_data.txt back_zk.txt back_teki.txt
# The same files beside the new map (its lock file stays, as on Linux): no
# journal, temporary or spare.
beside() { (cd "$work/$1" && ls -A | grep -v '^map' | tr '\n' ' '); }
[ "$(beside linux)" = "$(beside windows)" ] || {
  echo "the folders differ: Linux $(beside linux), Windows $(beside windows)" >&2
  exit 1
}
echo "tessera-map: the same pictures and files on Linux and Windows"
