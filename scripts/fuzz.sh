#!/usr/bin/env bash
# Builds the fuzz harnesses (preset `fuzz`: clang, libFuzzer, address and undefined-behaviour sanitizers), replays
# every regression input in fuzz/regressions/<harness>/, then fuzzes each harness from a fresh seed corpus for
# FUZZ_SECONDS (default 20), as many at once as there are cores. Any sanitizer report, crash, timeout or excess
# memory fails the run; the log and the input that caused it stay in build/fuzz/fuzz-run/<harness>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-$(nproc)}
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"

bin=$PWD/build/fuzz/fuzz
work=$PWD/build/fuzz/fuzz-run
rm -rf "$work"
mkdir -p "$work/seeds"
"$bin/fuzz_seeds" "$work/seeds"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/cmake/lsan.supp
limits=(-rss_limit_mb=2048 -timeout=20 -max_len=65536)

harnesses=()
for seeds in "$work"/seeds/*/; do harnesses+=("$(basename "$seeds")"); done

failed=0
for harness in "${harnesses[@]}"; do
  inputs=("$PWD"/fuzz/regressions/"$harness"/*)
  [ -e "${inputs[0]}" ] || continue
  mkdir -p "$work/$harness"
  if ! (cd "$work/$harness" && "$bin/${harness}_fuzzer" "${limits[@]}" "${inputs[@]}") \
      >"$work/$harness/replay.log" 2>&1; then
    echo "fuzz: $harness fails on a regression input (log: $work/$harness/replay.log)"
    tail -30 "$work/$harness/replay.log"
    failed=1
  fi
done

# One harness: fuzz from its seeds in a folder of its own (the command shell may write files).
fuzz_one() {
  local harness=$1
  mkdir -p "$work/$harness/corpus"
  if (cd "$work/$harness" && "$bin/${harness}_fuzzer" "${limits[@]}" -max_total_time="$seconds" \
        -print_final_stats=1 corpus "$work/seeds/$harness") >"$work/$harness/fuzz.log" 2>&1; then
    echo "fuzz: $harness clean ($(grep -o 'stat::number_of_executed_units: [0-9]*' "$work/$harness/fuzz.log" | grep -o '[0-9]*$') runs)"
  else
    echo "fuzz: $harness FAILED (log: $work/$harness/fuzz.log)"
    tail -40 "$work/$harness/fuzz.log"
    return 1
  fi
}
export -f fuzz_one
export bin work seconds
export limits_text="${limits[*]}"
if ! printf '%s\n' "${harnesses[@]}" |
    xargs -P "$jobs" -I{} bash -c 'limits=($limits_text); fuzz_one "$@"' _ {}; then
  failed=1
fi
exit $failed
