#!/usr/bin/env bash
# Builds the peers' own Windows programs for like-for-like timings under the
# same Wine: 7-Zip (7z.exe, bundle Alone2) and Info-ZIP UnZip (unzip.exe, with
# Debian's patches), both from Debian's source packages, cross-compiled for
# x86_64 with mingw-w64. Output: $BENCH_PEERS (default build/peers/), outside
# git. Safe to run again: a peer already built is kept.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
peers=${BENCH_PEERS:-$root/build/peers}
sevenzip_version=22.01+really26.02+dfsg-0+deb12u1
unzip_version=6.0-28+deb12u1
cross=x86_64-w64-mingw32
mkdir -p "$peers/src"
cd "$peers/src"

# fetch PACKAGE=VERSION ORIG DEBIAN: the security suite may answer 404 for a
# .dsc while its tarballs arrive, so apt-get's status is not trusted; the
# tarballs are.
fetch() {
    [ -f "$2" ] && [ -f "$3" ] && return 0
    apt-get source --download-only "$1" >/dev/null 2>&1 || true
    [ -f "$2" ] && [ -f "$3" ] || { echo "build_peers: could not fetch $1 ($2, $3)" >&2; exit 1; }
}

if [ ! -f "$peers/7z.exe" ]; then
    fetch "7zip=$sevenzip_version" 7zip_22.01+really26.02+dfsg.orig.tar.xz \
        "7zip_$sevenzip_version.debian.tar.xz"
    if [ ! -d 7zip ]; then
        rm -rf 7zip.new && mkdir 7zip.new
        tar -xJf 7zip_22.01+really26.02+dfsg.orig.tar.xz -C 7zip.new --strip-components=1
        mv 7zip.new 7zip
    fi
    echo "build_peers: building 7z.exe (a few minutes)"
    (cd 7zip/CPP/7zip/Bundles/Alone2 &&
        make -j2 -f ../../cmpl_gcc.mak IS_MINGW=1 MSYSTEM=MINGW64 CROSS_COMPILE=$cross- \
            RC=$cross-windres DISABLE_RAR=1 >"$peers/7zip-build.log" 2>&1) ||
        { tail -20 "$peers/7zip-build.log" >&2; exit 1; }
    cp 7zip/CPP/7zip/Bundles/Alone2/b/g/7zz.exe "$peers/7z.exe"
fi

if [ ! -f "$peers/unzip.exe" ]; then
    fetch "unzip=$unzip_version" unzip_6.0.orig.tar.gz "unzip_$unzip_version.debian.tar.xz"
    rm -rf unzip && mkdir unzip
    tar -xzf unzip_6.0.orig.tar.gz -C unzip --strip-components=1
    tar -xJf "unzip_$unzip_version.debian.tar.xz" -C unzip
    (cd unzip && while read -r p; do
        case "$p" in ''|'#'*) continue ;; esac
        patch -p1 -s <"debian/patches/$p"
    done <debian/patches/series)
    echo "build_peers: building unzip.exe"
    # UnZip's own macros (__G, CR) break mingw's headers unless windows.h
    # comes first.
    (cd unzip && make -f win32/Makefile.gcc CC=$cross-gcc RC=$cross-windres NOASM=1 CC_CPU_OPT= \
        LOCAL_UNZIP="-DWIN32_LEAN_AND_MEAN -include windows.h" LD_RELEASE_OPT="-s -static" \
        unzip.exe >"$peers/unzip-build.log" 2>&1) ||
        { tail -20 "$peers/unzip-build.log" >&2; exit 1; }
    cp unzip/unzip.exe "$peers/unzip.exe"
fi
echo "build_peers: $peers/7z.exe and $peers/unzip.exe"
