#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The page coder of this tree against the coder of an older revision, built
# alike (g++ -O3) from bench/compress_bench.cpp and run in alternating pairs
# on one core, so that machine load cancels: prints each one's MB/s of
# expanded data and the median ratio of the pairs. Target: decoding at least
# 2.5x the coder as it was before the 64-bit bit buffer (d8823a6).
#   scripts/bench-decoder.sh [BASE_REVISION] [PAIRS]
set -euo pipefail

BASE=${1:-d8823a6}
PAIRS=${2:-5}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-decoder-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

build() {
    local dir=$1
    g++ -std=c++17 -O3 -DNDEBUG -DQRP_TEST_DATA="\"$SOURCE/tests/data\"" -I"$dir" -I"$SOURCE/src" \
        "$SOURCE/bench/compress_bench.cpp" "$dir/store/qrcompress.cpp" \
        "$SOURCE/src/platform/streams.cpp" "$SOURCE/src/platform/system.cpp" \
        -lbenchmark_main -lbenchmark -lpthread -o "$dir/compress_bench"
}

mkdir -p "$WORK/base/store" "$WORK/now/store"
(cd "$SOURCE" && git show "$BASE:src/store/qrcompress.cpp" >"$WORK/base/store/qrcompress.cpp" &&
    git show "$BASE:src/store/qrcompress.h" >"$WORK/base/store/qrcompress.h")
cp "$SOURCE/src/store/qrcompress.cpp" "$SOURCE/src/store/qrcompress.h" "$WORK/now/store/"
build "$WORK/base" & build "$WORK/now"; wait

# MB/s of one benchmark, on CPU 0 when taskset is there.
speed() {
    local pin=()
    command -v taskset >/dev/null && pin=(taskset -c 0)
    "${pin[@]}" "$1" --benchmark_filter="^$2\$" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null |
        awk -F, '/^"?BM_/ { printf "%.1f\n", $(NF - 4) / 1e6 }'
}

. "$(dirname "$0")/bench-common.sh"

for bm in BM_ExpandEmfPages BM_ExpandIncompressible BM_CompressEmfPages; do
    : >"$WORK/a" && : >"$WORK/b" && : >"$WORK/r"
    for ((i = 0; i < PAIRS; ++i)); do
        a=$(speed "$WORK/now/compress_bench" $bm) && b=$(speed "$WORK/base/compress_bench" $bm)
        echo "$a" >>"$WORK/a" && echo "$b" >>"$WORK/b"
        awk -v a="$a" -v b="$b" 'BEGIN { if (b > 0) printf "%.2f\n", a / b }' >>"$WORK/r"
    done
    printf '%-26s now %8s MB/s   %s %8s MB/s   ratio %s (median of %d pairs)\n' "$bm" \
        "$(median <"$WORK/a")" "$BASE" "$(median <"$WORK/b")" "$(median <"$WORK/r")" "$PAIRS"
done
