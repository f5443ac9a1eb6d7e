#!/bin/sh
# Creates (or updates) the build's Wine prefix before any test runs in it.
# Wine's background processes must not hold on to ctest's output pipe, so
# everything goes to a log file.
# Any program will do: Wine boots (and, when needed, creates) the prefix before
# it starts one. An explicit "wineboot --init" would start a second service
# manager beside the one that the boot starts, and the two then answer service
# calls inconsistently (a service created through one is missing in the other).
log="$WINEPREFIX.log"
"$@" cmd.exe /c exit 0 >"$log" 2>&1 </dev/null
status=$?
[ $status -eq 0 ] || cat "$log"
exit $status
