#!/usr/bin/env bash
# Unfurler under wine64 extracting the self-extractor of a package of about
# 200 MiB of mixed files, against Info-ZIP unzip of the same zip natively,
# and Unfurler's peak memory. BENCH_UNFURLER_LARGE=1 adds a package ten times
# larger (about 2 GiB of files; the archive must stay below 2 GiB).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/unfurler"
mkdir -p "$work"
cd "$work"

# stub image + settings text + zip archive, as the builder lays them out.
make_sfx() {  # make_sfx ZIP SFX
    { cat "$BENCH_BIN/Unfurler.exe"
      printf '[VEK''SFX]\r\nAllowOverride=1\r\nArgumentPrefix=-!\r\nLaunchArguments=<pass>\r\nCleanup=0\r\n'
      printf 'LaunchExe=\r\nTargetDirectory=out\r\nShowErrors=0\r\n'
      cat "$1"; } > "$2"
}

# peak resident memory in MiB of one run of a command (GNU time)
peak_mib() {
    /usr/bin/time -f '%M' -o peak.txt "$@" >/dev/null 2>&1
    awk '{printf "%.0f", $1 / 1024}' peak.txt
}

measure() {  # measure MIB LABEL
    local mib=$1 label=$2 zip="mixed-$1.zip" sfx="mixed-$1.exe"
    if [ ! -f "$zip" ]; then
        rm -rf "tree-$mib"
        python3 "$here/make_mixed_tree.py" "tree-$mib" "$mib"
        (cd "tree-$mib" && zip -q -r "../$zip" .)
    fi
    make_sfx "$zip" "$sfx"
    ls -l "$zip" | awk '{printf "package: %.0f MiB compressed\n", $5 / 1048576}'

    extract_ours() { rm -rf out && "$WINE" "$sfx"; }
    extract_peer() { rm -rf out && mkdir out && unzip -q -o "$zip" -d out; }

    local ours peer
    ours=$(best_of 3 extract_ours)
    diff -rq "tree-$mib" out >/dev/null || { echo "Unfurler's output differs from the tree" >&2; exit 1; }
    peer=$(best_of 3 extract_peer)
    report "$label" "$ours" "$peer" 1.0
    rm -rf out
    echo "Unfurler peak memory ($mib MiB of files): $(peak_mib "$WINE" "$sfx") MiB resident"
    rm -rf out
}

measure 200 "Unfurler vs unzip (200 MiB)"
if [ "${BENCH_UNFURLER_LARGE:-0}" = 1 ]; then
    measure 2000 "Unfurler vs unzip (2000 MiB)"
fi
