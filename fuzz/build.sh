#!/usr/bin/env bash
# Builds the BMP decoder's libFuzzer target with clang, straight from the sources
# it needs, and optionally runs it.
#   fuzz/build.sh [seconds] [output folder]
# With seconds, the fuzzer then runs that long (CI: fuzz/build.sh 60), seeded with
# the BMP suite when the corpora folder is there; new inputs go to
# <output folder>/corpus and any crashing input to <output folder>/crash-*.
# The output folder defaults to build/fuzz.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-}
out=${2:-$root/build/fuzz}
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I "$root" \
  "$root/fuzz/bmp_fuzzer.cpp" \
  "$root/runtime/media/bmp_decoder.cpp" \
  "$root/runtime/media/image_decoders.cpp" \
  "$root/runtime/core/memory.cpp" \
  "$root/runtime/core/threads.cpp" \
  -o "$out/bmp_fuzzer"

[ -n "$seconds" ] || exit 0
seeds=()
suite="$root/../shared/corpora/bmpsuite"
for folder in g q b x; do
  [ -d "$suite/$folder" ] && seeds+=("$suite/$folder")
done
cd "$out"
# The first folder receives the new inputs; the suite's folders are only read.
exec ./bmp_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  corpus "${seeds[@]}"
