#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (coverage, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a fixed time against the
# committed seed corpus.
#
#   tools/fuzz.sh [BUILD_DIR] [SECONDS] [TARGET...]
#       defaults: build-fuzz, 20 seconds, every target
#   FUZZ_RUNS=10000000 tools/fuzz.sh build-fuzz 36000 settings_file
#       a long run outside CI: stops after that many inputs (or the time)
#
# Each target reports how many inputs it ran and how many a second.
#
# New inputs the fuzzer finds go to BUILD_DIR/corpus/<target> (the seed corpus
# in fuzz/corpus is only read), so a later run goes on where this one stopped.
# A failing input is written to BUILD_DIR/artifacts/; the run then fails and
# names the command that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-20}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(settings_file execute text_encoding board_file)
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
clang=${CLANGXX:-clang++-14}

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null

# A bound on the runs as well as on the time, so that no run goes on for ever
# whatever the machine's speed; -timeout fails an input that takes too long.
max_runs=${FUZZ_RUNS:-$(( seconds * 200000 ))}
status=0
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/artifacts" "$build/logs"
  log="$build/logs/$target.log"
  if "$build/${target}_fuzzer" -max_total_time="$seconds" -runs="$max_runs" -timeout=25 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
       "$build/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz $target: ${runs} runs, ${rate} a second, no failure"
  else
    status=1
    echo "fuzz $target: FAILED; the end of $log:" >&2
    tail -n 40 "$log" >&2
    echo "replay with: $build/${target}_fuzzer $build/artifacts/$target-<file>" >&2
  fi
done
exit $status
