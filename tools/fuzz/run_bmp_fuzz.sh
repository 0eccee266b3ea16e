#!/bin/sh
# Builds the BMP decoder's fuzzer with clang and runs it for SECONDS (default 60)
# on a copy of tests/bmp_corpus, in WORK (default /tmp/tessera-bmp-fuzz), where a
# crashing input is left as crash-*. With --merge, the inputs that reached new
# code are then added, minimised, to tests/bmp_corpus.
#   tools/fuzz/run_bmp_fuzz.sh [SECONDS] [--merge]
set -eu

seconds=${1:-60}
merge=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${WORK:-/tmp/tessera-bmp-fuzz}
mkdir -p "$work"

clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror -I"$root" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "$root/tools/fuzz/bmp_fuzz.cpp" "$root/platform/bmp.cpp" -o "$work/bmp_fuzz"

rm -rf "$work/corpus"
cp -r "$root/tests/bmp_corpus" "$work/corpus"
"$work/bmp_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus"

if [ "$merge" = "--merge" ]; then
    "$work/bmp_fuzz" -merge=1 -max_len=8192 "$root/tests/bmp_corpus" "$work/corpus"
fi
