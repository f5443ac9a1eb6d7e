#!/usr/bin/env bash
# Builds the native fuzz targets (clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time. Like the
# benchmarks this is run by hand, not by the test run.
#
# Usage: fuzz/run.sh [target ...]        (default: every target)
#   FUZZ_SECONDS  time per target (default 60)
#   FUZZ_BUILD    build folder (default build/fuzz-native); the corpus grows in
#                 <build>/corpus/<target>, crashing inputs land in <build>/artifacts
#   FUZZ_CXX      the clang++ to use (default clang++)
# Exits 1 when a target crashes, hangs or breaks one of its checks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${FUZZ_CXX:-clang++}

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" >/dev/null

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(vetra_paths vetra_cmdline)

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts"
    log="$build/$target.log"
    mkdir -p "$corpus" "$artifacts"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/$target-")
    [ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
    # New inputs go to the first folder; the checked-in seeds stay untouched.
    if "$build/$target" "${options[@]}" "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1; then
        result="no crash"
    else
        result="FAILED, see $log"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf '%-14s %12s executions in %4ss, corpus %5s inputs: %s\n' \
        "$target" "${runs:-?}" "$seconds" "$(find "$corpus" -type f | wc -l)" "$result"
    [ "$status" -eq 0 ] || tail -n 30 "$log"
done
exit "$status"
