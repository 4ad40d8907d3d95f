#!/usr/bin/env bash
# Builds the benchmarks in a native Release tree (build/bench, no sanitizers) and runs one of them.
# Usage: bench/run.sh NAME [ARGUMENTS...]     e.g. bench/run.sh convolution --frames 200000
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: bench/run.sh NAME [ARGUMENTS...]}
shift
if [ ! -f "$top/build/bench/build.ninja" ]; then
    cmake -S "$top" -B "$top/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVOLA_SANITIZE=OFF \
        -DTARVOLA_BENCH=ON >/dev/null
fi
cmake --build "$top/build/bench" --target "bench_$name" >/dev/null
exec "$top/build/bench/bench_$name" "$@"
