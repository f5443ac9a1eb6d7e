#!/usr/bin/env bash
# The main job on the sample kit: the road of a client package through the
# toolset. Parcelor builds the package from samples/client-kit/ and checks it
# by extracting it, Stubsmith wraps it into a self-extractor, and the
# self-extractor runs under Wine: once into a kept folder, once as shipped
# (temporary folder, setup.cmd, cleanup). Sets up what is missing and builds
# win64 first.
set -euo pipefail
source "$(dirname "$0")/win64-env.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r samples/client-kit "$work/kit"

echo "== Parcelor a: build the client package from the kit"
(cd "$work" && "$wine" "$bin/Parcelor.exe" 'a!client-kit.zip' -w kit)
unzip -l "$work/client-kit.zip" | sed -n '2,$p'

echo "== Parcelor e: extract the package again and compare it with the kit"
mkdir "$work/check"
(cd "$work" && "$wine" "$bin/Parcelor.exe" 'e!client-kit.zip' -o check)
diff -r samples/client-kit "$work/check" && echo "  identical to the kit's sources"

echo "== Stubsmith: wrap the package into a self-extractor"
(cd "$work" && "$wine" "$bin/Stubsmith.exe" --zip client-kit.zip --sfx client-kit-setup.exe \
    --launch-exe setup.cmd --launch-arguments '<pass>' --target-dir '<temp>' --cleanup \
    --allow-override --argument-prefix '-!' \
    --file-version 1.0.0.0 --product-version 1.0 --product-name 'Sample client kit')
python3 - "$work/client-kit-setup.exe" "$work/client-kit.zip" <<'PY'
import sys
data, zip_bytes = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
s = data.find(b"[VEK" + b"SFX]"); z = data.find(b"PK\x03\x04", s)
print(f"  stub {s} bytes, settings {z - s} bytes, zip {len(data) - z} bytes"
      f" ({'identical to the package' if data[z:] == zip_bytes else 'DIFFERS from the package'})")
print(data[s:z].decode("utf-8").rstrip())
PY

echo "== the self-extractor into a kept folder (-!t extracted -!d-): extracts and runs setup.cmd"
(cd "$work" && { "$wine" client-kit-setup.exe '-!t' extracted '-!d-' /quiet && rc=0 || rc=$?; echo "  exit code $rc"; })
(cd "$work/extracted" && find . -type f | sort | sed 's|^\./|  |')
diff -r samples/client-kit "$work/extracted" && echo "  identical to the kit's sources"

echo "== the self-extractor as shipped: <temp> folder, setup.cmd, cleanup"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
before=$(ls "$temp" 2>/dev/null | wc -l)
(cd "$work" && { "$wine" client-kit-setup.exe /quiet && rc=0 || rc=$?; echo "  exit code $rc (setup.cmd's own)"; })
after=$(ls "$temp" 2>/dev/null | wc -l)
if [ "$before" = "$after" ]; then
    echo "  nothing left in the temporary folder"
else
    echo "  the temporary folder kept $((after - before)) entries"
fi
