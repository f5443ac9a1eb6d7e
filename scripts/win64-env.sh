# Sourced by the main job and the benchmarks: sets up what is missing, builds
# win64 and prepares the build's Wine prefix. Leaves root, bin, wine and the
# Wine variables set.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null

bin="$root/build/win64/bin"
wine=/usr/lib/wine/wine64
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# Any plain program creates the prefix; wineboot --init would start a second
# service manager in it.
[ -d "$WINEPREFIX" ] || "$wine" cmd.exe /c exit 0 >/dev/null 2>&1
