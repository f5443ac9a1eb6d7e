#!/usr/bin/env bash
# nettle's Twofish judges encrypt: the portable cipher sources, compiled
# natively, are compared with it block for block, and files that encrypt.exe
# writes under Wine must equal those of a nettle-based peer byte for byte.
# Usage: nettle_check.sh <host c++ compiler> <encrypt source folder> <work folder>
# Needs WINE_LOADER, WINEPREFIX and TOOLSET_BIN in the environment.
set -euo pipefail
cxx=$1 src=$2 work=$3
if [ ! -f /usr/include/nettle/twofish.h ]; then
    echo "nettle's headers are missing: run scripts/setup.sh (package nettle-dev)" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work"
cd "$work"

flags=(-std=c++17 -O2 -Wall -Wextra -Werror -I"$src")
"$cxx" "${flags[@]}" -o nettle_compare "$src/tests/nettle_compare.cpp" \
    "$src/twofish.cpp" "$src/encrypted_format.cpp" -lnettle
"$cxx" "${flags[@]}" -o nettle_file_encrypt "$src/tests/nettle_file_encrypt.cpp" -lnettle

./nettle_compare

failed=0
for size in 0 1 14 15 16 17 31 32 33 255 256 4096 65535 1048577; do
    head -c "$size" /dev/urandom > "plain-$size.bin"
    "$WINE_LOADER" "$TOOLSET_BIN/encrypt.exe" 1 "plain-$size.bin" "ours-$size.enc"
    ./nettle_file_encrypt "plain-$size.bin" "peer-$size.enc"
    if ! cmp -s "ours-$size.enc" "peer-$size.enc"; then
        echo "MISMATCH: encrypt.exe and the nettle peer differ for an input of $size bytes"
        failed=1
    fi
done
[ "$failed" = 0 ] && echo "encrypt.exe output equals the nettle peer's for every size"
exit "$failed"
