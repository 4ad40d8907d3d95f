#!/usr/bin/env bash
# Cross-builds libjpeg-turbo for a mingw-w64 target from Debian's source package, with the CMake build it
# ships: the static library only, the classic (version 6.2) interface, with its SIMD code (nasm). Built once
# into the build tree (build/libjpeg/<processor>); later calls find the library and return at once.
# Usage: tools/libjpeg.sh i686|x86_64
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
processor=${1:?usage: tools/libjpeg.sh i686|x86_64}
root="$top/build/libjpeg"
prefix="$root/$processor"
[ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && exit 0

started=$SECONDS
mkdir -p "$root/source"
if ! compgen -G "$root/source/libjpeg-turbo-*/CMakeLists.txt" >/dev/null; then
    (cd "$root/source" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
        echo "libjpeg: apt-get source libjpeg-turbo failed (tools/setup.sh enables the source lists)" >&2
        exit 1
    }
fi
source_dir=$(dirname "$(compgen -G "$root/source/libjpeg-turbo-*/CMakeLists.txt" | head -n 1)")

work="$root/build-$processor"
rm -rf "$work" "$prefix"
echo "libjpeg: building for $processor-w64-mingw32"
{
    cmake -S "$source_dir" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$processor.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_CRT_DLL=ON &&
        cmake --build "$work" -j "${TARVOLA_JOBS:-$(nproc)}" --target jpeg-static &&
        mkdir -p "$prefix/lib" "$prefix/include" &&
        cp "$work/libjpeg.a" "$prefix/lib/" &&
        cp "$source_dir/jpeglib.h" "$source_dir/jmorecfg.h" "$source_dir/jerror.h" "$work/jconfig.h" \
            "$prefix/include/"
} >"$root/build-$processor.log" 2>&1 || {
    echo "libjpeg: the build failed; see $root/build-$processor.log" >&2
    exit 1
}
rm -rf "$work" "$root/build-$processor.log"
echo "libjpeg: $processor built in $((SECONDS - started)) s"
