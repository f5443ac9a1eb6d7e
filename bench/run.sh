#!/usr/bin/env bash
# Benchmarks: each script in bench/cases/ measures one program side by side
# with a peer tool and prints both figures and their ratio; the peers-* cases
# add the peers' own Windows builds under the same Wine (bench/build_peers.sh
# builds them first). Not part of the test run. Usage: bench/run.sh [case-name ...]
set -euo pipefail
source "$(dirname "$0")/../scripts/win64-env.sh"
export BENCH_BIN="$bin" WINE="$wine"
# BENCH_WINEPREFIX: a prefix of the benchmarks' own, so they can run while
# tests use the build's prefix (this script stops its Wine server at the end).
if [ -n "${BENCH_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$BENCH_WINEPREFIX
    [ -d "$WINEPREFIX" ] || "$wine" cmd.exe /c exit 0 >/dev/null 2>&1
fi

# Keep one Wine server up for the whole run, so no case pays Wine's start-up
# (a Windows program does not pay it either).
/usr/lib/wine/wineserver -p

export BENCH_WORK=${BENCH_WORK:-$(mktemp -d /tmp/bench.XXXXXX)}
trap 'rm -rf "$BENCH_WORK"; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
    for f in bench/cases/*.sh; do cases+=("$(basename "$f" .sh)"); done
fi
for c in "${cases[@]}"; do
    echo "== $c (load average $(cut -d' ' -f1-3 /proc/loadavg))"
    bash "bench/cases/$c.sh"
done
