#!/bin/sh
# Builds one of the fuzzers with clang and runs it for SECONDS (default 60) on a
# copy of its corpus in tests/, in WORK (default /tmp/tessera-TARGET-fuzz), where
# a crashing input is left as crash-*. With --merge, the inputs that reached new
# code are then added, minimised, to the corpus.
#   tools/fuzz/run_fuzz.sh bmp|pack|tmx|midi|wave [SECONDS] [--merge]
#     bmp:  the BMP decoder (platform/formats/bmp.cpp, tests/bmp_corpus)
#     pack: the draw pack reader (draw/packs_format.cpp, tests/pack_corpus)
#     tmx:  the TMX reader of tessera-map import (tools/map/tmx_read.cpp, tests/tmx_corpus)
#     midi: the MIDI file reader (platform/formats/midi_file.cpp, tests/midi_corpus)
#     wave: the WAV reader and the sound pack search (sound/wave_read.cpp,
#           sound/pack_scan.cpp, tests/wave_corpus)
set -eu

target=${1:-}
seconds=${2:-60}
merge=${3:-}
libs=
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$target" in
bmp) source=platform/formats/bmp.cpp max_len=8192 ;;
pack) source=draw/packs_format.cpp max_len=4096 ;;
tmx)
    source="tools/map/tmx_read.cpp tools/map/xml_stream.cpp map/map_model.cpp platform/files/memory.cpp
            platform/files/file_io.cpp"
    libs="-lz" max_len=8192
    ;;
midi) source=platform/formats/midi_file.cpp max_len=4096 ;;
wave) source="sound/wave_read.cpp sound/pack_scan.cpp draw/packs_format.cpp" max_len=4096 ;;
*)
    echo "usage: $0 bmp|pack|tmx|midi|wave [SECONDS] [--merge]" >&2
    exit 2
    ;;
esac
work=${WORK:-/tmp/tessera-$target-fuzz}
corpus=$root/tests/${target}_corpus
mkdir -p "$work"

clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror -I"$root" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "$root/tools/fuzz/${target}_fuzz.cpp" $(for s in $source; do echo "$root/$s"; done) $libs \
    -o "$work/${target}_fuzz"

rm -rf "$work/corpus"
cp -r "$corpus" "$work/corpus"
"$work/${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus"

if [ "$merge" = "--merge" ]; then
    "$work/${target}_fuzz" -merge=1 -max_len="$max_len" "$corpus" "$work/corpus"
fi
