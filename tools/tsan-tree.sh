#!/usr/bin/env bash
# Runs the worker thread tests (the tree's, the shell layer's and the transform convolution's helpers)
# under ThreadSanitizer, in a native tree of their own (build/tsan):
# ThreadSanitizer cannot be combined with the AddressSanitizer of build/native.
# Usage: tools/tsan-tree.sh [extra gtest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${TARVOLA_JOBS:-$(nproc)}
if [ ! -f "$top/build/tsan/build.ninja" ]; then
    cmake -S "$top" -B "$top/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVOLA_SANITIZE=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1" -DCMAKE_C_FLAGS="-fsanitize=thread -O1" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
fi
cmake --build "$top/build/tsan" -j "$jobs" --target test_tree
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    "$top/build/tsan/tests/tree/test_tree" --gtest_filter='Worker.*:PositionCache.*' "$@"
# The shell layer's queues and the threads that serve them.
cmake --build "$top/build/tsan" -j "$jobs" --target test_shell
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    "$top/build/tsan/tests/shell/test_shell" --gtest_filter='IconQueue*:ImageThread*:ChangeDispatchThread*' "$@"
# The transform convolution's helper threads and their hand-over with the run.
cmake --build "$top/build/tsan" -j "$jobs" --target test_kernel
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    "$top/build/tsan/tests/kernel/test_kernel" --gtest_filter='TransformChannel.*:ConvolutionEngine*' "$@"
