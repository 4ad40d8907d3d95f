#!/usr/bin/env bash
# Builds a Windows benchmark in a Release tree of its own (build/bench-<tree>) and runs it under Wine.
# Usage: bench/run-wine.sh NAME [ARGUMENTS...]     e.g. bench/run-wine.sh explorer --files 10000
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: bench/run-wine.sh NAME [ARGUMENTS...]}
shift
source "$top/tools/wine-env.sh"
arch=$([ "$TARVOLA_WINDOWS_TREE" = win32 ] && echo i686 || echo x86_64)
dir="$top/build/bench-$TARVOLA_WINDOWS_TREE"
if [ ! -f "$dir/build.ninja" ]; then
    "$top/tools/fftw.sh" "$arch"
    "$top/tools/libjpeg.sh" "$arch"
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTARVOLA_WINE="$WINE" -DTARVOLA_BENCH=ON >/dev/null
fi
cmake --build "$dir" -j "${TARVOLA_JOBS:-$(nproc)}" --target "bench_$name" >/dev/null
exec "$WINE" "$dir/bench_$name.exe" "$@"
