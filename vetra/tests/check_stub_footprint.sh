#!/usr/bin/env bash
# Usage: check_stub_footprint.sh <nm> <strip> <image>
# Fails when the image links any part of iostreams or std::locale, which the
# stub must not carry; prints the image's size as built and stripped.
set -euo pipefail
nm=$1 strip=$2 image=$3
heavy=$("$nm" -C "$image" | grep -E 'std::(locale|ios_base|basic_ios<|basic_ostream<|basic_istream<|basic_streambuf<)' || true)
stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
"$strip" -o "$stripped" "$image"
echo "$(basename "$image"): $(stat -c %s "$image") bytes, $(stat -c %s "$stripped") stripped"
if [ -n "$heavy" ]; then
    echo "links iostreams or std::locale:"
    echo "$heavy" | head -20
    exit 1
fi
