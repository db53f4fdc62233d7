#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What opening a report reads: read calls and bytes of the report file for
# page 1 (`qrptool thumbnail`) and for `qrptool info`, on a 1-page and a
# 20,000-page demo report, with their times. Targets: page 1 of the large
# report in at most 10 reads, `info` on it at most 1% of its bytes and at
# most 3x the time of the 1-page report (the median of PAIRS alternating
# runs, so that machine load cancels).
#   scripts/bench-reads.sh [QRPTOOL] [PAGES] [PAIRS]
# Needs strace. The reports (about 2 GB for 20,000 pages) live in a
# temporary folder that is removed at the end.
set -euo pipefail

TOOL=${1:-build-rel/src/tools/qrptool}
PAGES=${2:-20000}
PAIRS=${3:-5}
command -v strace >/dev/null || { echo "bench-reads: needs strace" >&2; exit 2; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-reads-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# The demo makes at most 10,000 pages; merge joins parts into one report.
make_report() {
    local out=$1 pages=$2 part=$(( $2 < 10000 ? $2 : 10000 )) parts=()
    "$TOOL" demo "$WORK/part.qrp" --pages "$part" >/dev/null
    for ((made = 0; made < pages; made += part)); do parts+=("$WORK/part.qrp"); done
    if ((${#parts[@]} == 1)); then mv "$WORK/part.qrp" "$out"; else
        "$TOOL" merge "$out" "${parts[@]}" >/dev/null
        rm -f "$WORK/part.qrp"
    fi
}

# reads FILE CMD...: "READS SEEKS BYTES" of the calls on FILE's descriptors.
reads() {
    local file=$1; shift
    strace -f -y -e trace=read,pread64,lseek -o "$WORK/trace" "$@" >/dev/null 2>&1 || true
    awk -v f="<$file>" 'index($0, f) {
        n = split($0, parts, "= "); ret = parts[n] + 0
        if ($0 ~ /lseek\(/) seeks++; else { calls++; if (ret > 0) bytes += ret }
    } END { printf "%d %d %d\n", calls, seeks, bytes }' "$WORK/trace"
}

. "$(dirname "$0")/bench-common.sh"

make_report "$WORK/one.qrp" 1
make_report "$WORK/large.qrp" "$PAGES"
size=$(stat -c %s "$WORK/large.qrp")
echo "report: $PAGES pages, $size bytes"

for report in one large; do
    file="$WORK/$report.qrp"
    read -r calls seeks bytes < <(reads "$file" "$TOOL" thumbnail "$file" "$WORK/thumb.png")
    t=$(seconds "$TOOL" thumbnail "$file" "$WORK/thumb.png")
    echo "page 1 ($report): $calls reads, $seeks seeks, $bytes bytes, $t s"
done

for report in one large; do
    file="$WORK/$report.qrp"
    read -r calls seeks bytes < <(reads "$file" "$TOOL" info "$file")
    t=$(seconds "$TOOL" info "$file")
    share=$(awk -v b="$bytes" -v s="$(stat -c %s "$file")" 'BEGIN { printf "%.3f", 100 * b / s }')
    echo "info ($report): $calls reads, $seeks seeks, $bytes bytes ($share% of the file), $t s"
done
: >"$WORK/a" && : >"$WORK/b" && : >"$WORK/r"
for ((i = 0; i < PAIRS; ++i)); do
    ta=$(seconds "$TOOL" info "$WORK/large.qrp") && tb=$(seconds "$TOOL" info "$WORK/one.qrp")
    echo "$ta" >>"$WORK/a" && echo "$tb" >>"$WORK/b"
    awk -v a="$ta" -v b="$tb" 'BEGIN { if (b > 0) printf "%.2f\n", a / b }' >>"$WORK/r"
done
echo "info large / one: $(median <"$WORK/a") s against $(median <"$WORK/b") s," \
    "ratio $(median <"$WORK/r")x (median of $PAIRS pairs)"
echo "all calls of info (large), strace -c:"
strace -c -e trace=read,pread64,lseek "$TOOL" info "$WORK/large.qrp" 2>&1 >/dev/null
