#!/usr/bin/env bash
# encrypt under wine64 against a native program that enciphers the same
# padded data under the same key with nettle's Twofish in ECB (read, pad,
# encipher, write, as encrypt does), on a file of 256 MiB.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=$(cd "$here/.." && pwd)
source "$here/lib.sh"
work="$BENCH_WORK/encrypt"
mkdir -p "$work"
cd "$work"

if [ ! -x nettle_file_encrypt ]; then
    g++ -std=c++17 -O2 -I"$root/encrypt" -o nettle_file_encrypt \
        "$root/encrypt/tests/nettle_file_encrypt.cpp" -lnettle
fi
[ -f plain.bin ] || head -c $((256 * 1048576)) /dev/urandom > plain.bin
echo "input: 256 MiB of random bytes"

# Five runs each: this machine is shared, and single runs vary by a fifth.
encrypt_ours() { "$WINE" "$BENCH_BIN/encrypt.exe" 1 plain.bin ours.enc; }
encrypt_peer() { ./nettle_file_encrypt plain.bin peer.enc; }

ours=$(best_of 5 encrypt_ours)
peer=$(best_of 5 encrypt_peer)
cmp -s ours.enc peer.enc || { echo "encrypt's output differs from the nettle peer's" >&2; exit 1; }
report "encrypt vs nettle Twofish ECB" "$ours" "$peer" 1.0
rm -f ours.enc peer.enc
