#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with ASan and UBSan) into build/fuzz and runs each for the given number
# of seconds (default 60), starting from its seed corpus: files the program's own code writes (made by
# fuzz/FuzzSeeds.cpp on each run) and, for the audio readers, a few files that sox writes. What a run finds
# new stays in build/fuzz/<target>.corpus for the next run; crashes go to build/fuzz/artifacts.
#
# Usage: tests/fuzz/run.sh [--parallel] [seconds] [target...]
#   targets: KernelStateFuzz RiffWaveReaderFuzz AiffReaderFuzz RawReaderFuzz ItemIDListFuzz JpegDecoderFuzz
#            NodeStreamFuzz ExplorerStateFuzz ThumbsCacheFuzz (default: all)
#   --parallel  runs the targets at once (one core each), each printing to build/fuzz/<target>.log
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
parallel=
if [ "${1:-}" = --parallel ]; then
    parallel=1
    shift
fi
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(KernelStateFuzz RiffWaveReaderFuzz AiffReaderFuzz RawReaderFuzz ItemIDListFuzz
                                    JpegDecoderFuzz NodeStreamFuzz ExplorerStateFuzz ThumbsCacheFuzz)
out="$top/build/fuzz"
mkdir -p "$out/artifacts"
flags=(-std=c++20 -g -O1 -fno-sanitize-recover=all -I"$top")
base_sources=(base/ByteOrder.cpp base/Extended80.cpp base/NumberText.cpp base/Numerics.cpp base/WholeFile.cpp
              base/Utf8.cpp)
audio_sources=(audio/RWAudioFile.cpp audio/AudioInfoStructures.cpp audio/Streams.cpp audio/General.cpp
               "${base_sources[@]}" tests/support/MemoryAudioFileSystem.cpp)
state_sources=(kernel/KernelStateFile.cpp kernel/KrnlDsgnTypes.cpp audio/MemList.cpp audio/Streams.cpp
               audio/SafeFile.cpp audio/TextOperations.cpp "${base_sources[@]}")
shell_sources=(shell/VirtualPIDLTools.cpp audio/Streams.cpp "${base_sources[@]}")
jpeg_sources=(explorer/JpegCodec.cpp)
# The tree's portable core, as its CMakeLists.txt lists it, with the node stream tests' helpers.
tree_sources=($(cd "$top" && sed -n '/PORTABLE/,/WIN32/s/^ *\([A-Za-z0-9_]*\.cpp\)$/tree\/\1/p' tree/CMakeLists.txt)
              audio/Streams.cpp "${base_sources[@]}" tests/tree/TreeTestSupport.cpp
              tests/tree/NodeStreamTestSupport.cpp)
explorer_state_sources=(explorer/ExplorerStateCodec.cpp explorer/ExplorerStateShell.cpp
                        explorer/ExplorerStateStorage.cpp explorer/ExplorerStateStorageStream.cpp
                        explorer/ExplorerStateViews.cpp shell/VirtualStreamable.cpp shell/VirtualWideStrings.cpp
                        "${shell_sources[@]}")
thumbs_sources=(explorer/ThumbsCache.cpp explorer/ThumbsCacheList.cpp explorer/BitmapFile.cpp explorer/JpegCodec.cpp
                shell/VirtualWideStringList.cpp shell/VirtualWideStrings.cpp shell/VirtualUtilities.cpp
                audio/Streams.cpp "${base_sources[@]}")
# The state reader admits two full kernels (10,240 records of 32 bytes each after 1,552 fixed bytes) and a
# record more; the audio seeds are a few hundred bytes.
state_max_len=$((1552 + 2 * 10240 * 32 + 32))
audio_max_len=8192

# The seeds, from the program's own writers.
(cd "$top" && clang++ "${flags[@]}" -fsanitize=address,undefined fuzz/FuzzSeeds.cpp \
    $(printf '%s
' "${audio_sources[@]}" "${state_sources[@]}" "${shell_sources[@]}" "${tree_sources[@]}" \
        "${explorer_state_sources[@]}" "${thumbs_sources[@]}" | sort -u) -ljpeg -o "$out/FuzzSeeds")
"$out/FuzzSeeds" "$out"

sox_seeds() { # folder extension
    command -v sox >/dev/null || return 0
    for bits in 8 16 24; do
        for channels in 1 2; do
            sox -n -r 8000 -c $channels -b $bits "$1/sox$bits$channels.$2" synth 0.002 sine 440 2>/dev/null || true
        done
    done
}

# Small JPEGs of the kinds a folder holds: baseline colour, grey, progressive and Adobe CMYK. The first byte
# of each seed is the target's scale and speed selector.
jpeg_seeds() { # folder
    command -v convert >/dev/null || return 0
    mkdir -p "$1"
    local tmp
    tmp=$(mktemp -d)
    convert -size 48x32 gradient:red-blue "$tmp/colour.jpg"
    convert -size 40x24 gradient: -colorspace Gray "$tmp/grey.jpg"
    convert -size 64x40 plasma:fractal -interlace JPEG "$tmp/progressive.jpg" 2>/dev/null ||
        convert -size 64x40 gradient:green-yellow -interlace JPEG "$tmp/progressive.jpg"
    convert -size 32x32 gradient:cyan-magenta -colorspace CMYK "$tmp/cmyk.jpg"
    local selector=0
    for f in "$tmp"/*.jpg; do
        { printf "\\$(printf %03o $selector)"; cat "$f"; } >"$1/$(basename "$f")"
        selector=$(((selector + 5) % 8))
    done
    rm -rf "$tmp"
}

build_and_seed() { # target
    local target=$1 source sources
    case $target in
        KernelStateFuzz) source=fuzz/KernelStateFuzz.cpp; sources=("${state_sources[@]}") ;;
        ItemIDListFuzz) source=tests/fuzz/$target.cpp; sources=("${shell_sources[@]}") ;;
        ExplorerStateFuzz) source=tests/fuzz/$target.cpp; sources=("${explorer_state_sources[@]}") ;;
        JpegDecoderFuzz) source=tests/fuzz/$target.cpp; sources=("${jpeg_sources[@]}" -ljpeg) ;;
        NodeStreamFuzz) source=tests/fuzz/$target.cpp; sources=("${tree_sources[@]}") ;;
        ThumbsCacheFuzz) source=tests/fuzz/$target.cpp; sources=("${thumbs_sources[@]}" -ljpeg) ;;
        *) source=tests/fuzz/$target.cpp; sources=("${audio_sources[@]}") ;;
    esac
    (cd "$top" && clang++ "${flags[@]}" -fsanitize=fuzzer,address,undefined "${sources[@]}" "$source" \
        -o "$out/$target")
    mkdir -p "$out/$target.corpus"
    case $target in
        RiffWaveReaderFuzz) sox_seeds "$out/$target.seeds" wav ;;
        AiffReaderFuzz) sox_seeds "$out/$target.seeds" aiff ;;
        JpegDecoderFuzz) jpeg_seeds "$out/$target.seeds" ;;
    esac
}

run_target() { # target
    local target=$1 max_len=$audio_max_len
    [ "$target" = KernelStateFuzz ] && max_len=$state_max_len
    [ "$target" = JpegDecoderFuzz ] && max_len=65536
    [ "$target" = NodeStreamFuzz ] && max_len=4096
    [ "$target" = ThumbsCacheFuzz ] && max_len=65536
    echo "== $target for $seconds s (max_len $max_len, $(ls "$out/$target.seeds" | wc -l) seeds)"
    # New inputs go into the first folder; the seeds are read only.
    "$out/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$target-" "$out/$target.corpus" "$out/$target.seeds"
}

for target in "${targets[@]}"; do
    build_and_seed "$target"
done
if [ -n "$parallel" ]; then
    pids=()
    for target in "${targets[@]}"; do
        run_target "$target" >"$out/$target.log" 2>&1 &
        pids+=($!)
    done
    status=0
    for i in "${!pids[@]}"; do
        wait "${pids[$i]}" || { echo "${targets[$i]} failed: see $out/${targets[$i]}.log"; status=1; }
    done
    for target in "${targets[@]}"; do
        echo "== $target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$out/$target.log" | tail -1)"
    done
    exit $status
fi
for target in "${targets[@]}"; do
    run_target "$target"
done
