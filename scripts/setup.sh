#!/usr/bin/env bash
# Prepares a Debian machine for building and testing the toolset: installs the
# cross compilers, Wine and the host tools, fetches the pinned source packages
# and builds the static libraries (bzip2, minizip, GoogleTest) for both Windows
# targets into .deps/. Safe to run again: finished steps are skipped.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
bzip2_version=1.0.8-5
zlib_version=1:1.2.13.dfsg-1
# zlib 1.2.13's contrib/minizip lacks the checks on header fields over 64 KiB
# (CVE-2023-45853); Debian's minizip source package carries them as a patch,
# applied here to the minizip of the zlib tree above.
minizip_version=1.1-8+deb12u1
minizip_fix=CVE-2023-45853.patch
triples=(x86_64-w64-mingw32 i686-w64-mingw32)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(cmake ninja-build dpkg-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
          libz-mingw-w64-dev libboost-dev googletest
          wine wine64 unzip zip 7zip python3 bc nettle-dev python3-pefile openssl osslsigncode
          xvfb x11-apps clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -q
    # No i386 packages: this kernel runs no 32-bit programs, and wine32 would
    # make the wine wrapper pick a loader that cannot start.
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Source packages, pinned, from the machine's own Debian mirror.
src="$deps/src"
mkdir -p "$src"
if [ ! -d "$src/bzip2-1.0.8" ] || [ ! -d "$src/zlib-1.2.13.dfsg" ]; then
    if ! ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
        echo "setup: no deb822 apt sources found" >&2; exit 1
    fi
    if ! grep -qs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources; then
        echo "setup: enabling deb-src"
        for f in /etc/apt/sources.list.d/*.sources; do
            grep -q '^Types: deb$' "$f" || continue
            sed 's/^Types: deb$/Types: deb-src/' "$f" | as_root tee "${f%.sources}-src.sources" >/dev/null
        done
        as_root apt-get update -q
    fi
    (cd "$src" && apt-get source --download-only "bzip2=$bzip2_version" "zlib=$zlib_version")
    tar -xzf "$src"/bzip2_1.0.8.orig.tar.gz -C "$src"
    tar -xjf "$src"/zlib_1.2.13.dfsg.orig.tar.bz2 -C "$src"
fi
# Our own fixes to minizip (third_party/*.patch) come on top; their checksum
# is part of the build stamp, so a changed fix rebuilds the libraries.
minizip_dir="$src/minizip-zlib-1.2.13-$minizip_version"
local_patches=("$root"/third_party/minizip-*.patch)
patches_id=$(cat "${local_patches[@]}" | sha256sum | cut -c1-12)
if [ "$(cat "$minizip_dir/.patched" 2>/dev/null)" != "$patches_id" ]; then
    [ -f "$src/minizip_$minizip_version.debian.tar.xz" ] ||
        (cd "$src" && apt-get source --download-only "minizip=$minizip_version")
    rm -rf "$src/minizip-debian" "$minizip_dir"
    mkdir -p "$src/minizip-debian"
    tar -xJf "$src/minizip_$minizip_version.debian.tar.xz" -C "$src/minizip-debian"
    cp -a "$src/zlib-1.2.13.dfsg/contrib/minizip" "$minizip_dir"
    for patch_file in "$src/minizip-debian/debian/patches/$minizip_fix" "${local_patches[@]}"; do
        patch -d "$minizip_dir" -p1 --forward --batch <"$patch_file"
    done
    echo "$patches_id" >"$minizip_dir/.patched"
fi

for triple in "${triples[@]}"; do
    prefix="$deps/$triple"
    stamp="$prefix/.built-bzip2-$bzip2_version-zlib-${zlib_version#1:}-minizip-$minizip_version-$patches_id"
    toolchain="$root/cmake/toolchains/$triple.cmake"
    if [ ! -f "$stamp" ]; then
        echo "setup: building bzip2 and minizip for $triple"
        rm -rf "$deps/build/$triple"
        cmake -S "$root/third_party" -B "$deps/build/$triple/libs" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$prefix" \
            -DBZIP2_SOURCE_DIR="$src/bzip2-1.0.8" \
            -DMINIZIP_SOURCE_DIR="$minizip_dir"
        cmake --build "$deps/build/$triple/libs" --target install
        echo "setup: building GoogleTest for $triple"
        cmake -S /usr/src/googletest -B "$deps/build/$triple/googletest" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=ON
        cmake --build "$deps/build/$triple/googletest" --target install
        touch "$stamp"
    fi
    # Boost is header-only here; the cross compiler sees only the boost
    # folder, never the rest of the host's /usr/include.
    ln -sfn /usr/include/boost "$prefix/include/boost"
done
echo "setup: done"
