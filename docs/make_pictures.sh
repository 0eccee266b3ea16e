#!/usr/bin/env bash
# Makes the README's pictures again: runs every replay script in docs/pictures
# through the headless editor (play_*.replay through the play-test, on the
# level play_level) and turns its screenshots into PNG files beside the scripts. Needs a build (./tessera.sh test or run) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
replay=$(realpath "${1:-build/tessera-replay}")
pictures=$PWD/docs/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$pictures"/play_level_*.txt "$work"
for script in "$pictures"/*.replay; do
  case $(basename "$script") in
  play_*) (cd "$work" && "$replay" --run play_level "$script" >/dev/null) ;;
  *) (cd "$work" && "$replay" "$script" >/dev/null) ;;
  esac
done
for shot in "$work"/*.bmp; do
  convert "$shot" "$pictures/$(basename "${shot%.bmp}").png"
done
ls "$pictures"/*.png
