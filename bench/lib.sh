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

# report_peers LABEL OURS PEER NATIVE TARGET: our program under Wine, the
# peer's Windows build under the same Wine, and the peer's native Linux
# build; prints the like-for-like ratio (ours / peer under Wine), the ratio
# against the native tool, and whether the like-for-like target is met
# (TARGET "-": none).
report_peers() {
    local like native verdict=""
    like=$(echo "$2 / $3" | bc -l | xargs printf '%.2f')
    native=$(echo "$2 / $4" | bc -l | xargs printf '%.2f')
    if [ "$5" != - ]; then
        if [ "$(echo "$like <= $5" | bc -l)" = 1 ]; then verdict="target <= $5: met"; else verdict="target <= $5: NOT met"; fi
    fi
    printf '%-44s ours %7ss  peer.exe %7ss  native %7ss  like-for-like %5s  vs native %5s  %s\n' \
        "$1" "$2" "$3" "$4" "$like" "$native" "$verdict"
}

# faster A B: the smaller of two times.
faster() {
    if [ "$(echo "$1 <= $2" | bc -l)" = 1 ]; then echo "$1"; else echo "$2"; fi
}

# load_average: the machine's 1, 5 and 15 minute load, printed beside figures
# taken on a shared machine.
load_average() {
    cut -d' ' -f1-3 /proc/loadavg
}
