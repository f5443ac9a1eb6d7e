#!/usr/bin/env bash
# Stubsmith under wine64 wrapping a zip of about 1 GiB, against a plain cat of
# the stub and the zip into one file (the bytes Stubsmith has to write, minus
# the resource update and the settings), and Stubsmith's peak memory. Wine's
# server must be running already (bench/run.sh starts it), so that no run pays
# its start-up.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/stubsmith"
mkdir -p "$work"
cd "$work"

# One stored entry of random bytes, so the zip is as large as its data.
if [ ! -f big.zip ]; then
    python3 - <<'PY'
import os, zipfile
with zipfile.ZipFile("big.zip", "w", zipfile.ZIP_STORED) as z:
    with z.open("payload.bin", "w") as entry:
        for _ in range(64):
            entry.write(os.urandom(16 * 1048576))
PY
fi
size=$(stat -c %s big.zip)
printf 'input: a stored zip of %.1f MiB\n' "$(echo "$size / 1048576" | bc -l)"

build_ours() { rm -f ours.exe && "$WINE" "$BENCH_BIN/Stubsmith.exe" --zip big.zip --sfx ours.exe --cleanup --launch-exe setup.cmd; }
build_peer() { rm -f peer.exe && cat "$BENCH_BIN/Unfurler.exe" big.zip > peer.exe; }
ours=$(best_of 3 build_ours)
peer=$(best_of 3 build_peer)
tail -c "$size" ours.exe | cmp -s - big.zip || { echo "the zip bytes at the end of Stubsmith's output differ" >&2; exit 1; }
report "Stubsmith vs cat stub zip" "$ours" "$peer" 1.5
# cat copies inside the kernel (copy_file_range) where the file system allows
# it; a copy through user memory, as any program that maps or reads the zip
# makes, for comparison.
build_copy() { rm -f copy.exe && { cat "$BENCH_BIN/Unfurler.exe"; dd if=big.zip bs=128K status=none; } > copy.exe; }
copy=$(best_of 3 build_copy)
report "Stubsmith vs cat + dd bs=128K" "$ours" "$copy" 1.5

# Peak resident memory of the Windows process (the wine64 loader becomes it;
# Wine's server runs apart, started by bench/run.sh).
peak_kib=$( { /usr/bin/time -f '%M' "$WINE" "$BENCH_BIN/Stubsmith.exe" --zip big.zip --sfx ours.exe >/dev/null; } 2>&1 | tail -1)
printf '  Stubsmith peak memory %.1f MiB (target < 150 MiB)\n' "$(echo "$peak_kib / 1024" | bc -l)"
rm -f ours.exe peer.exe copy.exe
