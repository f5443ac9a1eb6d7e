#!/usr/bin/env bash
# Packing like for like: Parcelor a under wine64 against 7-Zip's own Windows
# build (7z.exe a -tzip -mx=6 -mmt=1, from bench/build_peers.sh) under the
# same Wine and against its native Linux build (7zz), on about 180 MiB in a
# few hundred files and on a kit-like folder of 2,000 small files. Target,
# like for like: Parcelor a at most 0.8 times 7z.exe.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
peers=${BENCH_PEERS:-$here/../build/peers}
bash "$here/build_peers.sh" >/dev/null
work="$BENCH_WORK/peers-archive"
mkdir -p "$work"
cd "$work"

measure() {  # measure NAME MIB SMALL_FILES DESCRIPTION
    local name=$1
    [ -d "$name" ] || python3 "$here/make_mixed_tree.py" "$name" "$2" "$3" >/dev/null
    printf '%s: %d files, %.0f MiB; load average %s\n' "$4" "$(find "$name" -type f | wc -l)" \
        "$(du -sm "$name" | cut -f1)" "$(load_average)"

    parcelor() { rm -f ours.zip && "$WINE" "$BENCH_BIN/Parcelor.exe" 'a!ours.zip' -w "$name"; }
    sevenzip_exe() { rm -f peer.zip && (cd "$name" && "$WINE" "$peers/7z.exe" a -tzip -mx=6 -mmt=1 ../peer.zip .); }
    sevenzip_native() { rm -f native.zip && (cd "$name" && 7zz a -tzip -mx=6 -mmt=1 ../native.zip .); }

    local t_parcelor t_7z_exe t_7z
    t_parcelor=$(best_of 3 parcelor)
    unzip -tq ours.zip >/dev/null || { echo "Parcelor's package does not test clean" >&2; exit 1; }
    t_7z_exe=$(best_of 3 sevenzip_exe)
    t_7z=$(best_of 3 sevenzip_native)
    report_peers "  Parcelor a vs 7z a -tzip -mx=6 -mmt=1" "$t_parcelor" "$t_7z_exe" "$t_7z" 0.8
    ls -l ours.zip peer.zip native.zip | awk '{printf "    %-10s %7.1f MiB\n", $9, $5 / 1048576}'
    rm -f ours.zip peer.zip native.zip
}

measure large 180 250 "about 180 MiB in a few hundred files"
measure kit 0 2000 "kit-like, 2,000 small files"
