#!/usr/bin/env bash
# Runs the Windows tests under Wine, on the display this script is given, with one persistent wineserver
# for the whole run.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
ensure_wine_prefix
wineserver -p
# Start Wine's own services now, outside CTest: they outlive the first test and would otherwise hold its
# output pipe open until the timeout.
"$WINE" cmd.exe /c exit >/dev/null 2>&1 </dev/null
# One test program at a time: they share the sound sink and the display.
ctest --test-dir "$windows_build" --output-on-failure -j 1 --timeout 300 "$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
