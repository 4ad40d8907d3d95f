#!/usr/bin/env bash
# Configures and builds the native tree (build/native) and the Windows trees: build/win32 always, whole, and
# build/win64 where this machine cannot run 32-bit programs (its tests then run from there; see
# tools/wine-env.sh).
# Usage: tools/build.sh [native|windows|all]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
which=${1:-all}
jobs=${TARVOLA_JOBS:-$(nproc)}

build_tree() {
    local dir=$1 targets=$2; shift 2
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" ${targets:+--target $targets}
}

if [ "$which" = native ] || [ "$which" = all ]; then
    build_tree "$top/build/native" ""
fi
if [ "$which" = windows ] || [ "$which" = all ]; then
    # Every i686 target (the program and every test executable) is built on every machine, whether or not
    # 32-bit programs can run here: a fault that only the i686 compiler sees (a calling convention, a
    # warning of its own) shows everywhere.
    "$top/tools/fftw.sh" i686
    "$top/tools/libjpeg.sh" i686
    build_tree "$top/build/win32" "" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTARVOLA_WINE=/usr/lib/wine/wine
    if [ "$TARVOLA_WINDOWS_TREE" = win64 ]; then
        "$top/tools/fftw.sh" x86_64
        "$top/tools/libjpeg.sh" x86_64
        build_tree "$top/build/win64" "" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DTARVOLA_WINE="$WINE"
    fi
fi
