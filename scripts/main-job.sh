#!/usr/bin/env bash
# The main job on the sample kit: the road of a client package through the
# toolset, as far as the toolset goes today. Sets up what is missing, builds
# win64 and runs the programs under Wine in a scratch folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null

bin="$root/build/win64/bin"
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine64
[ -d "$WINEPREFIX" ] || "$wine" wineboot --init 2>/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp samples/client-kit.zip "$work/"
mkdir "$work/extracted"

echo "== Parcelor e: extract the sample client package"
(cd "$work" && "$wine" "$bin/Parcelor.exe" 'e!client-kit.zip' -o extracted)
echo "== extracted files"
(cd "$work/extracted" && find . -type f | sort | while read -r f; do
    printf '%8d  %s  %s\n' "$(stat -c %s "$f")" "$(date -r "$f" '+%Y-%m-%d %H:%M')" "${f#./}"
done)
echo "== compared with the kit's sources"
diff -r samples/client-kit "$work/extracted" && echo "identical"
