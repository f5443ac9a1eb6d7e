#!/usr/bin/env bash
# Extraction like for like: Parcelor e and a self-extractor that Stubsmith
# built, under wine64, against the peers' own Windows builds (Info-ZIP
# unzip.exe and 7-Zip's 7z.exe x, from bench/build_peers.sh) under the same
# Wine, and against the peers' native Linux builds (unzip, 7zz x). Two
# packages: about 180 MiB in a few hundred files, and a kit-like package of
# 2,000 small files. Targets, like for like: Parcelor e at most 1.0 times
# unzip.exe, the self-extractor at most 0.8 times the faster peer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
peers=${BENCH_PEERS:-$here/../build/peers}
bash "$here/build_peers.sh" >/dev/null
work="$BENCH_WORK/peers-extract"
mkdir -p "$work"
cd "$work"

measure() {  # measure NAME MIB SMALL_FILES DESCRIPTION
    local name=$1
    if [ ! -f "$name.zip" ]; then
        rm -rf "$name"
        python3 "$here/make_mixed_tree.py" "$name" "$2" "$3" >/dev/null
        (cd "$name" && zip -q -r "../$name.zip" .)
    fi
    rm -f "$name.exe"
    "$WINE" "$BENCH_BIN/Stubsmith.exe" --zip "$name.zip" --sfx "$name.exe" --target-dir out >/dev/null
    printf '%s: %d files, %.0f MiB of files, %.0f MiB package; load average %s\n' "$4" \
        "$(find "$name" -type f | wc -l)" "$(du -sm "$name" | cut -f1)" \
        "$(echo "$(stat -c %s "$name.zip") / 1048576" | bc -l)" "$(load_average)"

    # Every run starts from an empty output folder, as a fresh install does.
    parcelor() { rm -rf out && mkdir out && "$WINE" "$BENCH_BIN/Parcelor.exe" "e!$name.zip" -o out; }
    sfx() { rm -rf out && "$WINE" "$name.exe"; }
    unzip_exe() { rm -rf out && mkdir out && "$WINE" "$peers/unzip.exe" -q -o "$name.zip" -d out; }
    sevenzip_exe() { rm -rf out && mkdir out && "$WINE" "$peers/7z.exe" x -y -oout "$name.zip"; }
    unzip_native() { rm -rf out && mkdir out && unzip -q -o "$name.zip" -d out; }
    sevenzip_native() { rm -rf out && mkdir out && 7zz x -y -oout "$name.zip"; }

    local t_parcelor t_sfx t_unzip_exe t_7z_exe t_unzip t_7z
    t_parcelor=$(best_of 3 parcelor)
    diff -rq "$name" out >/dev/null || { echo "Parcelor's output differs from the tree" >&2; exit 1; }
    t_sfx=$(best_of 3 sfx)
    diff -rq "$name" out >/dev/null || { echo "the self-extractor's output differs from the tree" >&2; exit 1; }
    t_unzip_exe=$(best_of 3 unzip_exe)
    diff -rq "$name" out >/dev/null || { echo "unzip.exe's output differs from the tree" >&2; exit 1; }
    t_7z_exe=$(best_of 3 sevenzip_exe)
    diff -rq "$name" out >/dev/null || { echo "7z.exe's output differs from the tree" >&2; exit 1; }
    t_unzip=$(best_of 3 unzip_native)
    t_7z=$(best_of 3 sevenzip_native)
    rm -rf out

    report_peers "  Parcelor e vs unzip" "$t_parcelor" "$t_unzip_exe" "$t_unzip" 1.0
    report_peers "  Parcelor e vs 7z x" "$t_parcelor" "$t_7z_exe" "$t_7z" -
    report_peers "  self-extractor vs faster peer" "$t_sfx" "$(faster "$t_unzip_exe" "$t_7z_exe")" \
        "$(faster "$t_unzip" "$t_7z")" 0.8
}

measure large 180 250 "about 180 MiB in a few hundred files"
measure kit 0 2000 "kit-like, 2,000 small files"
