#!/bin/sh
# Builds the draw pack reader's fuzzer with clang and runs it for SECONDS
# (default 60) on a copy of tests/pack_corpus, in WORK (default
# /tmp/tessera-pack-fuzz), where a crashing input is left as crash-*. With
# --merge, the inputs that reached new code are then added, minimised, to
# tests/pack_corpus.
#   tools/fuzz/run_pack_fuzz.sh [SECONDS] [--merge]
set -eu

seconds=${1:-60}
merge=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${WORK:-/tmp/tessera-pack-fuzz}
mkdir -p "$work"

clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror -I"$root" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "$root/tools/fuzz/pack_fuzz.cpp" "$root/draw/packs_format.cpp" -o "$work/pack_fuzz"

rm -rf "$work/corpus"
cp -r "$root/tests/pack_corpus" "$work/corpus"
"$work/pack_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus"

if [ "$merge" = "--merge" ]; then
    "$work/pack_fuzz" -merge=1 -max_len=4096 "$root/tests/pack_corpus" "$work/corpus"
fi
