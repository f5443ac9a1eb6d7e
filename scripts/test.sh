#!/usr/bin/env bash
# Sets up what is missing, builds both Windows builds (win64 and the shipped
# win32) and runs every test of win64 under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
for preset in win64 win32; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
ctest --preset win64
