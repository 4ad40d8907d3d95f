#!/usr/bin/env bash
# Builds the libFuzzer targets of the audio file readers (clang, with ASan and UBSan) into build/fuzz and
# runs each for the given number of seconds (default 60), starting from a few files that sox writes.
# Usage: tests/fuzz/run.sh [seconds] [target...]
#   targets: RiffWaveReaderFuzz AiffReaderFuzz RawReaderFuzz ItemIDListFuzz (stored item identifier lists)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(RiffWaveReaderFuzz AiffReaderFuzz RawReaderFuzz ItemIDListFuzz)
out="$top/build/fuzz"
mkdir -p "$out"
sources=(audio/RWAudioFile.cpp audio/AudioInfoStructures.cpp audio/Streams.cpp audio/General.cpp
         base/Extended80.cpp base/Numerics.cpp tests/support/MemoryAudioFileSystem.cpp)

shell_sources=(shell/VirtualPIDLTools.cpp audio/Streams.cpp base/Numerics.cpp)

for target in "${targets[@]}"; do
    target_sources=("${sources[@]}")
    [ "$target" = ItemIDListFuzz ] && target_sources=("${shell_sources[@]}")
    (cd "$top" && clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I. "${target_sources[@]}" "tests/fuzz/$target.cpp" -o "$out/$target")
    corpus="$out/$target.corpus"
    mkdir -p "$corpus"
    if command -v sox >/dev/null && [ -z "$(ls -A "$corpus")" ]; then
        case $target in
            RiffWaveReaderFuzz) ext=wav ;;
            AiffReaderFuzz) ext=aiff ;;
            *) ext=raw ;;
        esac
        for bits in 8 16 24; do
            for channels in 1 2; do
                sox -n -r 8000 -c $channels -b $bits "$corpus/seed$bits$channels.$ext" synth 0.002 sine 440 \
                    2>/dev/null || true
            done
        done
    fi
    echo "== $target for $seconds s"
    mkdir -p "$out/artifacts"
    "$out/$target" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 -artifact_prefix="$out/artifacts/" "$corpus"
done
