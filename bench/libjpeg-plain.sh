#!/usr/bin/env bash
# Builds the JPEG library natively from the same Debian source as the Windows builds, as a shared library
# without its SIMD code, into build/libjpeg/native-plain. bench_thumbnails --plain-library <that folder> runs
# its no-SIMD case against it (the system's library of the same version is the SIMD build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root="$top/build/libjpeg"
prefix="$root/native-plain"
compgen -G "$prefix/libjpeg.so.62*" >/dev/null && exit 0
if ! compgen -G "$root/source/libjpeg-turbo-*/CMakeLists.txt" >/dev/null; then
    bash "$top/tools/libjpeg.sh" x86_64 # fetches the source
fi
source_dir=$(dirname "$(compgen -G "$root/source/libjpeg-turbo-*/CMakeLists.txt" | head -n 1)")
work="$root/build-native-plain"
rm -rf "$work"
cmake -S "$source_dir" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=ON -DENABLE_STATIC=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=OFF >/dev/null
cmake --build "$work" -j "${TARVOLA_JOBS:-$(nproc)}" --target jpeg >/dev/null
mkdir -p "$prefix"
cp -a "$work"/libjpeg.so.62* "$prefix/"
rm -rf "$work"
echo "libjpeg without SIMD: $prefix"
