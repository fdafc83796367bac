#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (the runtime on the headless toolkit,
# with ASan + UBSan) and optionally runs each of them.
#   fuzz/build.sh [seconds per target] [output folder]
# With seconds, every target then runs that long, one on each core at a time
# (fuzz/build.sh 18 runs them all in 90 s on two cores), seeded with fuzz/seeds/<target>
# and, for the BMP decoder, the BMP suite when the corpora folder is there. New
# inputs go to <output folder>/<target>/corpus, any crashing input to
# <output folder>/<target>/crash-*, and the log to <output folder>/<target>.log;
# a line per target tells the inputs run and the edges covered. The output
# folder defaults to build/fuzz.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-}
out=$(mkdir -p "${2:-$root/build/fuzz}" && cd "${2:-$root/build/fuzz}" && pwd)
targets=(bmp_fuzzer shortcut_text_fuzzer popup_items_fuzzer utf8_roundtrip_fuzzer line_reader_fuzzer
  string_functions_fuzzer glob_fuzzer parameter_line_fuzzer filter_pattern_fuzzer json_line_fuzzer)

cmake -S "$root" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZEB_FUZZ=ON -DZEB_BENCHMARKS=OFF >/dev/null
cmake --build "$out/build" -j "$(nproc)" --target "${targets[@]}"

[ -n "$seconds" ] || exit 0

# run_target <target>: one bounded run; prints the inputs run and the edges covered,
# or the end of the log and where the input is when the target found a fault.
run_target() {
  local target=$1 seeds=() folder inputs edges
  [ -d "$root/fuzz/seeds/$target" ] && seeds+=("$root/fuzz/seeds/$target")
  if [ "$target" = bmp_fuzzer ]; then
    for folder in g q b x; do
      [ -d "$root/../shared/corpora/bmpsuite/$folder" ] && seeds+=("$root/../shared/corpora/bmpsuite/$folder")
    done
  fi
  mkdir -p "$out/$target/corpus"
  # The first folder receives the new inputs; the seed folders are only read.
  if ! (cd "$out/$target" && "$out/build/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 corpus "${seeds[@]}") >"$out/$target.log" 2>&1; then
    tail -n 40 "$out/$target.log"
    echo "$target found a fault; the input is in $out/$target" >&2
    return 1
  fi
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log")
  edges=$(sed -n 's/.* cov: \([0-9]*\) .*/\1/p' "$out/$target.log" | tail -n 1)
  echo "$target: $inputs inputs, $edges edges in $seconds s"
}

# Each target is single-threaded, so one runs on each core at a time.
failed=0 running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  if (( ++running >= $(nproc) )); then
    wait -n || failed=1
    (( running-- ))
  fi
done
for (( ; running > 0; running-- )); do wait -n || failed=1; done
exit "$failed"
