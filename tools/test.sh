#!/usr/bin/env bash
# Builds and runs every test: the native tests under the sanitizers, then the Windows tests under Wine + Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" all

status=0
echo "== native tests"
ctest --test-dir "$top/build/native" --output-on-failure -j "${TARVOLA_JOBS:-$(nproc)}" || status=1

echo "== Windows tests under Wine"
if [ -n "${DISPLAY:-}" ] && [ -z "${TARVOLA_FORCE_XVFB:-}" ]; then
    "$top/tools/wine-tests.sh" || status=1
else
    xvfb-run -a -s "-screen 0 1600x1200x24" "$top/tools/wine-tests.sh" || status=1
fi

[ $status -eq 0 ] && echo "== all tests passed" || echo "== tests FAILED"
exit $status
