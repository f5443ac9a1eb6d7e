#!/usr/bin/env bash
# Builds the native fuzz targets (clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, one after the
# other. scripts/test.sh runs it briefly as a smoke run; run it by hand for
# longer runs.
#
# Usage: fuzz/run.sh [target ...]        (default: every target)
#   FUZZ_SECONDS  time per target (default 60)
#   FUZZ_BUILD    build folder (default build/fuzz-native); the corpus grows in
#                 <build>/corpus/<target>, crashing inputs land in <build>/artifacts
#   FUZZ_CXX      the clang++ to use (default clang++; FUZZ_CC for C, clang)
# Prints executions and coverage (cov: edges, ft: features) per target and
# exits 1 when a target crashes, hangs or breaks one of its checks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${FUZZ_CXX:-clang++}
cc=${FUZZ_CC:-clang}

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null
python3 "$root/fuzz/make_seeds.py" "$build/seeds"

all=(vetra_paths vetra_cmdline entry_names sfx_container unfurler_zip_reader parcelor_command_line
     stubsmith_version hostaid_text encrypt_padding)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts"
    log="$build/$target.log"
    mkdir -p "$corpus" "$artifacts"
    options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$artifacts/$target-")
    [ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
    # New inputs go to the first folder; the seeds stay untouched.
    seeds=()
    for folder in "$root/fuzz/seeds/$target" "$build/seeds/$target"; do
        [ -d "$folder" ] && seeds+=("$folder")
    done
    if "$build/$target" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        result="no crash"
    else
        result="FAILED, see $log"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    printf '%-22s %12s executions in %4ss, %-18s corpus %5s inputs: %s\n' \
        "$target" "${runs:-?}" "$seconds" "${coverage:-cov: ? ft: ?}," "$(find "$corpus" -type f | wc -l)" "$result"
    [ "$status" -eq 0 ] || tail -n 30 "$log"
done
exit "$status"
