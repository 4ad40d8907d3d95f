#!/usr/bin/env bash
# Cross-builds FFTW for a mingw-w64 target from Debian's source package, with the CMake build it ships:
# double precision only, static, SSE2, without threads, Fortran or tests. Built once into the build tree
# (build/fftw/<processor>); later calls find the library and return at once.
# Usage: tools/fftw.sh i686|x86_64
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
processor=${1:?usage: tools/fftw.sh i686|x86_64}
root="$top/build/fftw"
prefix="$root/$processor"
[ -f "$prefix/lib/libfftw3.a" ] && [ -f "$prefix/include/fftw3.h" ] && exit 0

started=$SECONDS
mkdir -p "$root/source"
if ! compgen -G "$root/source/fftw3-*/CMakeLists.txt" >/dev/null; then
    (cd "$root/source" && apt-get source -qq fftw3 >/dev/null 2>&1) || {
        echo "fftw: apt-get source fftw3 failed (tools/setup.sh enables the source lists)" >&2
        exit 1
    }
fi
source_dir=$(dirname "$(compgen -G "$root/source/fftw3-*/CMakeLists.txt" | head -n 1)")

# FFTW's own allocator gives the SIMD alignment, which mingw's malloc does not. The product is built
# with SSE arithmetic; FFTW's scalar code then rounds as its SIMD code does.
cflags="-O2 -DNDEBUG -DWITH_OUR_MALLOC"
[ "$processor" = i686 ] && cflags="$cflags -msse2 -mfpmath=sse"
work="$root/build-$processor"
rm -rf "$work" "$prefix"
echo "fftw: building for $processor-w64-mingw32"
{
    cmake -S "$source_dir" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$processor.cmake" \
        -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS="$cflags" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DENABLE_SSE2=ON -DENABLE_THREADS=OFF -DENABLE_OPENMP=OFF \
        -DDISABLE_FORTRAN=ON &&
        cmake --build "$work" -j "${TARVOLA_JOBS:-$(nproc)}" &&
        cmake --install "$work"
} >"$root/build-$processor.log" 2>&1 || {
    echo "fftw: the build failed; see $root/build-$processor.log" >&2
    exit 1
}
rm -rf "$work" "$root/build-$processor.log"
echo "fftw: $processor built in $((SECONDS - started)) s"
