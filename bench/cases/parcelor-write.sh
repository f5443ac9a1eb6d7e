#!/usr/bin/env bash
# Parcelor a (a folder of about 200 MiB) against Info-ZIP zip -r at its
# default level, and Parcelor d (removing a tenth of the entries of that
# package) against zip -d on a copy; Parcelor under wine64, zip natively.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/parcelor-write"
mkdir -p "$work"
cd "$work"

[ -d tree ] || python3 "$here/make_mixed_tree.py" tree 200

archive_ours() { rm -f ours.zip && "$WINE" "$BENCH_BIN/Parcelor.exe" 'a!ours.zip' -w tree; }
archive_peer() { rm -f peer.zip && (cd tree && zip -q -r ../peer.zip .); }
ours=$(best_of 3 archive_ours)
peer=$(best_of 3 archive_peer)
unzip -tq ours.zip >/dev/null || { echo "Parcelor's package does not test clean" >&2; exit 1; }
report "Parcelor a vs zip -r" "$ours" "$peer" 1.3
ls -l ours.zip peer.zip | awk '{printf "  %-8s %6.1f MiB\n", $9, $5 / 1048576}'

# A tenth of the entries, spread over the package: every tenth name.
unzip -Z1 peer.zip | grep -v '/$' | awk 'NR % 10 == 0' > removed.txt
mapfile -t removed < removed.txt
echo "  removing ${#removed[@]} of $(unzip -Z1 peer.zip | grep -vc '/$') entries"
delete_ours() { rm -rf out && mkdir out && "$WINE" "$BENCH_BIN/Parcelor.exe" 'd!peer.zip' -o out -f "${removed[@]/%/:NOEXTRACT}"; }
delete_peer() { cp peer.zip copy.zip && zip -q -d copy.zip "${removed[@]}"; }
ours=$(best_of 3 delete_ours)
peer=$(best_of 3 delete_peer)
[ "$(unzip -Z1 out/peer.zip | wc -l)" = "$(unzip -Z1 copy.zip | wc -l)" ] || { echo "copies differ" >&2; exit 1; }
report "Parcelor d vs cp + zip -d" "$ours" "$peer" 1.0
rm -rf out copy.zip ours.zip
