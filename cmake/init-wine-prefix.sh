#!/bin/sh
# Creates (or updates) the build's Wine prefix before any test runs in it.
# Wine's background processes must not hold on to ctest's output pipe, so
# everything goes to a log file.
log="$WINEPREFIX.log"
"$@" wineboot.exe --init >"$log" 2>&1 </dev/null
status=$?
[ $status -eq 0 ] || cat "$log"
exit $status
