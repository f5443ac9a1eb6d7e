#!/usr/bin/env bash
# two_builds_test.sh SOURCE_DIR TRIPLE: copies the sources into two temporary
# folders of different names and lengths, builds the programs in each (no
# tests) with the toolchain of TRIPLE, and fails unless every program is byte
# for byte the same: no time stamps and no build paths in the files.
set -euo pipefail
src=$(cd "$1" && pwd)
triple=$2
deps=$(readlink -f "$src/.deps")
scratch=$(mktemp -d /tmp/two-builds.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

build() {  # build FOLDER
    local copy=$1
    mkdir -p "$copy"
    tar -C "$src" --exclude=./build --exclude=./out --exclude=./.deps --exclude=./.git -cf - . | tar -C "$copy" -xf -
    ln -s "$deps" "$copy/.deps"
    cmake -S "$copy" -B "$copy/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOOLSET_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchains/$triple.cmake" >"$copy.log" 2>&1 &&
        cmake --build "$copy/build" -j2 >>"$copy.log" 2>&1 ||
        { tail -30 "$copy.log"; echo "FAIL the build in $copy failed"; exit 1; }
}

first="$scratch/a"
second="$scratch/a-second-build-folder/deeper"
# The second build starts a second later, so a time stamp would differ.
build "$first"
sleep 1
build "$second"

failures=0
for file in "$first"/build/bin/*.exe; do
    name=$(basename "$file")
    if cmp -s "$file" "$second/build/bin/$name"; then
        echo "ok   $name identical in both builds"
    else
        echo "FAIL $name differs: $(cmp "$file" "$second/build/bin/$name" | head -1)"
        failures=$((failures + 1))
    fi
done
for folder in "$first" "$second"; do
    if grep -l -a -F -e "$folder" "$first/build/bin/"*.exe "$second/build/bin/"*.exe 2>/dev/null | grep -q .; then
        echo "FAIL a program holds the build path $folder"
        failures=$((failures + 1))
    fi
done
for program in Parcelor Stubsmith Unfurler Hostaid encrypt Launchlet; do
    [ -f "$first/build/bin/$program.exe" ] || { echo "FAIL no $program.exe was built"; failures=$((failures + 1)); }
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
