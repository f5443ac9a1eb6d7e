#!/usr/bin/env bash
# The main job on the sample kit: the road of a client package through the
# toolset. Parcelor builds the package from samples/client-kit/ and checks it
# by extracting it, Stubsmith wraps it into a self-extractor, and the
# self-extractor runs under Wine: once into a kept folder, once as shipped
# (temporary folder, setup.cmd, cleanup). Sets up what is missing and builds
# win64 first.
#
# Every step checks what it shows: the script stops with exit code 1 and a
# line "main job FAILED: ..." at the first file that differs from the kit, the
# first unexpected exit code or console message, or anything the self-extractor
# leaves in the temporary folder.
set -euo pipefail
source "$(dirname "$0")/win64-env.sh"

fail() { echo "main job FAILED: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r samples/client-kit "$work/kit"

# run_expect CODE LABEL COMMAND...: runs the command in the work folder, shows
# its console text, and fails unless it exits with CODE (the low 8 bits that
# reach Linux through the Wine loader).
run_expect() {
    local want=$1 label=$2 rc=0
    shift 2
    (cd "$work" && "$@") >"$work/console.txt" 2>&1 || rc=$?
    sed 's/\r$//; s/^/  | /' "$work/console.txt"
    [ "$rc" -eq "$want" ] || fail "$label exited with $rc, expected $want"
    echo "  exit code $rc"
}

# no_failure_lines LABEL [EXPECTED]: Parcelor reports its failures on the
# console and still exits 0, so its text must hold no warning, skipped entry
# or "can't" line, apart from an EXPECTED one.
no_failure_lines() {
    if grep -iE "warning|skipped|failed|can't" "$work/console.txt" | grep -vF "${2:-//none//}" | grep -q .; then
        fail "$1 reported a failure"
    fi
}

# same_as_kit FOLDER LABEL: the folder holds exactly the kit's files, byte for byte.
same_as_kit() {
    diff -r samples/client-kit "$1" >"$work/diff.txt" 2>&1 ||
        { sed 's/^/  /' "$work/diff.txt"; fail "$2 differs from samples/client-kit"; }
    echo "  identical to the kit's sources"
}

echo "== Parcelor a: build the client package from the kit"
run_expect 0 "Parcelor a" "$wine" "$bin/Parcelor.exe" 'a!client-kit.zip' -w kit
# A new package: that it was missing is the one expected message.
no_failure_lines "Parcelor a" "can't find the package file specified,"
unzip -l "$work/client-kit.zip" | sed -n '2,$p'
unzip -tq "$work/client-kit.zip" >/dev/null || fail "unzip -t finds the package damaged"

echo "== Parcelor e: extract the package again and compare it with the kit"
mkdir "$work/check"
run_expect 0 "Parcelor e" "$wine" "$bin/Parcelor.exe" 'e!client-kit.zip' -o check
no_failure_lines "Parcelor e"
same_as_kit "$work/check" "the package extracted by Parcelor e"

echo "== Stubsmith: wrap the package into a self-extractor"
run_expect 0 "Stubsmith" "$wine" "$bin/Stubsmith.exe" --zip client-kit.zip --sfx client-kit-setup.exe \
    --launch-exe setup.cmd --launch-arguments '<pass>' --target-dir '<temp>' --cleanup \
    --allow-override --argument-prefix '-!' \
    --file-version 1.0.0.0 --product-version 1.0 --product-name 'Sample client kit'
python3 - "$work/client-kit-setup.exe" "$work/client-kit.zip" <<'PY' || fail "the self-extractor does not end in the package"
import sys
data, zip_bytes = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
s = data.find(b"[VEK" + b"SFX]"); z = data.find(b"PK\x03\x04", s)
same = s > 0 and z > s and data[z:] == zip_bytes
print(f"  stub {s} bytes, settings {z - s} bytes, zip {len(data) - z} bytes"
      f" ({'identical to the package' if same else 'DIFFERS from the package'})")
print(data[s:z].decode("utf-8").rstrip())
sys.exit(0 if same else 1)
PY

echo "== the self-extractor into a kept folder (-!t extracted -!d-): extracts and runs setup.cmd"
run_expect 0 "the self-extractor into a kept folder" "$wine" client-kit-setup.exe '-!t' extracted '-!d-' /quiet
[ -d "$work/extracted" ] || fail "the self-extractor made no folder 'extracted'"
(cd "$work/extracted" && find . -type f | sort | sed 's|^\./|  |')
same_as_kit "$work/extracted" "the folder the self-extractor kept"

echo "== the self-extractor as shipped: <temp> folder, setup.cmd, cleanup"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
mkdir -p "$temp"
(cd "$temp" && find . | sort) >"$work/temp-before.txt"
run_expect 0 "the self-extractor as shipped (setup.cmd's own exit code)" "$wine" client-kit-setup.exe /quiet
(cd "$temp" && find . | sort) >"$work/temp-after.txt"
if ! diff "$work/temp-before.txt" "$work/temp-after.txt" >"$work/diff.txt"; then
    sed 's/^/  /' "$work/diff.txt"
    fail "the self-extractor left entries in the temporary folder $temp"
fi
echo "  nothing left in the temporary folder"
echo "main job: every step as expected"
