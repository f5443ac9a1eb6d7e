#!/usr/bin/env bash
# Stubsmith under wine64 wrapping the package of about 180 MiB, against the
# same concatenation (stub, then zip) done by a Windows program under the same
# Wine (cmd's copy /b) and natively by cat. No target: Stubsmith also writes
# the stub's resources and the settings, and copies through mapped windows.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/peers-stubsmith"
mkdir -p "$work"
cd "$work"

if [ ! -f large.zip ]; then
    python3 "$here/make_mixed_tree.py" large 180 250 >/dev/null
    (cd large && zip -q -r ../large.zip .)
    rm -rf large
fi
cp "$BENCH_BIN/Unfurler.exe" stub.exe
printf 'input: a package of %.0f MiB; load average %s\n' "$(echo "$(stat -c %s large.zip) / 1048576" | bc -l)" \
    "$(load_average)"

stubsmith() { rm -f ours.exe && "$WINE" "$BENCH_BIN/Stubsmith.exe" --zip large.zip --sfx ours.exe --target-dir out; }
copy_exe() { rm -f peer.exe && "$WINE" cmd.exe /c copy /b stub.exe+large.zip peer.exe; }
cat_native() { rm -f native.exe && cat stub.exe large.zip > native.exe; }
t_ours=$(best_of 3 stubsmith)
t_peer=$(best_of 3 copy_exe)
t_native=$(best_of 3 cat_native)
cmp -s peer.exe native.exe || { echo "copy /b and cat wrote different files" >&2; exit 1; }
tail -c "$(stat -c %s large.zip)" ours.exe | cmp -s - large.zip ||
    { echo "the zip bytes at the end of Stubsmith's output differ" >&2; exit 1; }
report_peers "  Stubsmith vs copy /b (Wine) and cat" "$t_ours" "$t_peer" "$t_native" -
rm -f ours.exe peer.exe native.exe
