#!/usr/bin/env bash
# Shows once, on a virtual display, the message box that Unfurler raises for a
# damaged self-extractor, and saves a screenshot of it. Not part of the tests.
#   extractor/tools/show_error_box.sh [BIN_FOLDER [OUT.png]]
# BIN_FOLDER holds Unfurler.exe (default build/win64/bin); the Wine prefix is
# the one beside it. Needs xvfb and x11-apps (scripts/setup.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
out=${2:-$PWD/unfurler-error-box.png}
export WINEPREFIX=${WINEPREFIX:-$(dirname "$bin")/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine64
work=$(mktemp -d /tmp/unfurler-box.XXXXXX)

display=:97
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wine_pid=
x11_key='HKCU\Software\Wine\X11 Driver'
cleanup() {
    [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null || true
    "$wine" reg delete "$x11_key" /v Managed /f >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
sleep 2
# Xvfb runs no window manager: let Wine draw the box's own title bar, which
# carries the caption.
"$wine" reg add "$x11_key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

# A self-extractor whose settings marker is missing: the stub image and a zip.
printf 'payload' > "$work/a.txt"
(cd "$work" && zip -q payload.zip a.txt)
cat "$bin/Unfurler.exe" "$work/payload.zip" > "$work/broken.exe"

DISPLAY=$display "$wine" "$work/broken.exe" >/dev/null 2>&1 &
wine_pid=$!
sleep 8
if ! kill -0 "$wine_pid" 2>/dev/null; then
    echo "Unfurler ended without waiting for its message box" >&2
    exit 1
fi
DISPLAY=$display xwd -root -silent > "$work/screen.xwd"
python3 "$root/extractor/tools/xwd_to_png.py" "$work/screen.xwd" "$out"
echo "screenshot: $out"
