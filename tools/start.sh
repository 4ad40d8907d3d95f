#!/usr/bin/env bash
# Builds Tarvola.exe and starts it under Wine (under Xvfb when there is no display).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" windows
source "$top/tools/wine-env.sh"
ensure_wine_prefix
program="$windows_build/Tarvola.exe"
if [ -n "${DISPLAY:-}" ]; then
    "$WINE" "$program"
else
    xvfb-run -a -s "-screen 0 1600x1200x24" "$WINE" "$program"
fi
