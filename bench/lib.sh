# Shared helpers for the benchmark cases (sourced).

# seconds COMMAND...: runs the command, prints its wall time in seconds. The
# command's output goes to a file, as a script's log would: Wine serves a
# standard output on /dev/null far more slowly than a file or a pipe.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >"${BENCH_WORK:-/tmp}/last-output.txt"
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l | xargs printf '%.3f'
}

# best_of N COMMAND...: the shortest of N runs.
best_of() {
    local n=$1 best="" t
    shift
    for _ in $(seq "$n"); do
        t=$(seconds "$@")
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

# report LABEL OURS PEER TARGET: prints both times and the ratio.
report() {
    local ratio
    ratio=$(echo "$2 / $3" | bc -l | xargs printf '%.2f')
    printf '%-34s ours %8ss   peer %8ss   ratio %5s   (target <= %s)\n' "$1" "$2" "$3" "$ratio" "$4"
}
