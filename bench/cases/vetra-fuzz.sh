#!/usr/bin/env bash
# The vetra fuzz targets (option parser, path splitting), built natively with
# clang and libFuzzer, each run for FUZZ_SECONDS (default 60); prints the
# executions per target and fails on any crash or broken check. The corpus
# is kept in the fuzz build folder and grows from run to run.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
exec bash "$here/fuzz/run.sh" vetra_paths vetra_cmdline
