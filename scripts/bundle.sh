#!/usr/bin/env bash
# Makes the install bundles: for each preset (default: win32, the shipped
# build, and win64) builds the programs, packs them with CPack into
# out/install-kit-toolset-<version>-<preset>.zip, then unpacks each ZIP into a
# scratch folder and checks it with `sha256sum -c SHA256SUMS`.
# Usage: scripts/bundle.sh [win32|win64 ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64)

bash scripts/setup.sh >/dev/null
mkdir -p out
check=$(mktemp -d)
trap 'rm -rf "$check" out/_CPack_Packages' EXIT

for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    (cd "build/$preset" && cpack -G ZIP -B "$root/out" >/dev/null)
    name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "build/$preset/CPackConfig.cmake")
    zip="out/$name.zip"
    [ -f "$zip" ] || { echo "bundle: CPack made no $zip" >&2; exit 1; }
    unzip -q "$zip" -d "$check/$preset"
    (cd "$check/$preset/$name" && sha256sum -c --quiet SHA256SUMS) ||
        { echo "bundle: $zip fails its checksums" >&2; exit 1; }
    unzip -l "$zip" | sed -n '4,$p' | sed '/^-----/,$d'
    echo "  $zip: $(wc -l <"$check/$preset/$name/SHA256SUMS") files, checked by sha256sum -c"
done
