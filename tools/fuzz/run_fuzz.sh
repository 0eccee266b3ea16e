#!/bin/sh
# Builds one of the fuzzing targets for libFuzzer (a clang build of the project
# with TESSERA_FUZZ, in BUILD, default /tmp/tessera-fuzz-build) and runs it for SECONDS (default 60) on a
# copy of its corpus in tests/, in WORK (default /tmp/tessera-TARGET-fuzz),
# where a crashing input is left as crash-*. With --merge, the inputs that
# reached new code are then added, minimised, to the corpus. Every target is
# also built and run over its corpus by the tests, with the plain compiler.
#   tools/fuzz/run_fuzz.sh bmp|pack|tmx|midi|wave|map_files [SECONDS] [--merge]
#     bmp:       the BMP decoder (platform/formats/bmp.cpp)
#     pack:      the draw pack reader (draw/packs_format.cpp)
#     tmx:       the TMX reader of tessera-map import (tools/map/tmx_read.cpp)
#     midi:      the MIDI file reader (platform/formats/midi_file.cpp)
#     wave:      the WAV reader and the sound pack search (sound/wave_read.cpp,
#                sound/pack_scan.cpp)
#     map_files: the map loader (map/map_files.cpp), the input cut at its first
#                two NUL bytes into the three files
set -eu

target=${1:-}
seconds=${2:-60}
merge=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$target" in
bmp) max_len=8192 ;;
pack | midi | wave) max_len=4096 ;;
tmx) max_len=8192 ;;
map_files) max_len=262144 ;;
*)
    echo "usage: $0 bmp|pack|tmx|midi|wave|map_files [SECONDS] [--merge]" >&2
    exit 2
    ;;
esac
work=${WORK:-/tmp/tessera-$target-fuzz}
corpus=$root/tests/${target}_corpus
mkdir -p "$work"

build=${BUILD:-/tmp/tessera-fuzz-build}
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTESSERA_FUZZ=ON -DTESSERA_WERROR=ON \
    -DTESSERA_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
ninja -C "$build" "${target}_fuzz"
fuzzer=$build/tools/fuzz/${target}_fuzz

rm -rf "$work/corpus"
cp -r "$corpus" "$work/corpus"
"$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus"

if [ "$merge" = "--merge" ]; then
    "$fuzzer" -merge=1 -max_len="$max_len" "$corpus" "$work/corpus"
fi
