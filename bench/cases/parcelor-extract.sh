#!/usr/bin/env bash
# Parcelor e under wine64 against Info-ZIP unzip natively, on a package of
# about 200 MiB of mixed compressible and random files.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/parcelor-extract"
mkdir -p "$work"
cd "$work"

if [ ! -f mixed.zip ]; then
    python3 "$here/make_mixed_tree.py" tree 200
    (cd tree && zip -q -r ../mixed.zip .)
fi
ls -l mixed.zip | awk '{printf "package: %.0f MiB compressed\n", $5 / 1048576}'

extract_ours() { rm -rf out && mkdir out && "$WINE" "$BENCH_BIN/Parcelor.exe" 'e!mixed.zip' -o out; }
extract_peer() { rm -rf out && mkdir out && unzip -q -o mixed.zip -d out; }

ours=$(best_of 3 extract_ours)
diff -rq tree out >/dev/null || { echo "Parcelor's output differs from the tree" >&2; exit 1; }
peer=$(best_of 3 extract_peer)
report "Parcelor e vs unzip" "$ours" "$peer" 1.3
rm -rf out
