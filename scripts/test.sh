#!/usr/bin/env bash
# Sets up what is missing, builds both Windows builds (win64 and the shipped
# win32), runs every test of win64 under Wine, and gives every native fuzz
# target a few seconds (fuzz/run.sh runs them longer on demand).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
for preset in win64 win32; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
ctest --preset win64
FUZZ_SECONDS=${FUZZ_SECONDS:-4} bash fuzz/run.sh
