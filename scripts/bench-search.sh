#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Searching a compressed archive against the same archive stored plain:
# REPORTS copies of one PAGES-page demo report each way (hard links, so the
# pages are read as from distinct files without taking the space), searched
# with `qrptool search --jobs JOBS` in alternating runs. Prints the median
# wall time of each and the median ratio of the pairs; target: compressed at
# most 3x plain on 2 cores. Then `qrptool text` of one compressed report on
# 1 and on JOBS threads: what decoding pages in parallel gains.
#   scripts/bench-search.sh [QRPTOOL] [REPORTS] [PAGES] [JOBS] [PAIRS]
set -euo pipefail

TOOL=${1:-build-rel/src/tools/qrptool}
REPORTS=${2:-20}
PAGES=${3:-500}
JOBS=${4:-2}
PAIRS=${5:-3}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-search-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

for kind in plain packed; do
    mkdir -p "$WORK/$kind"
    "$TOOL" demo "$WORK/$kind/r00.qrp" --pages "$PAGES" $([[ $kind == packed ]] && echo --compress) >/dev/null
    for ((i = 1; i < REPORTS; ++i)); do ln "$WORK/$kind/r00.qrp" "$WORK/$kind/r$(printf %02d $i).qrp"; done
done
echo "archives: $REPORTS x $PAGES pages; plain $(du -sh --count-links "$WORK/plain" | cut -f1)," \
    "compressed $(du -sh --count-links "$WORK/packed" | cut -f1)"

. "$(dirname "$0")/bench-common.sh"

# compare NAME A... -- B...: alternating runs, A's time over B's.
compare() {
    local name=$1 a=() b=() i ta tb
    shift
    while [[ $1 != -- ]]; do a+=("$1"); shift; done
    shift
    b=("$@")
    : >"$WORK/a" && : >"$WORK/b" && : >"$WORK/r"
    for ((i = 0; i < PAIRS; ++i)); do
        ta=$(seconds "${a[@]}") && tb=$(seconds "${b[@]}")
        echo "$ta" >>"$WORK/a" && echo "$tb" >>"$WORK/b"
        awk -v a="$ta" -v b="$tb" 'BEGIN { if (b > 0) printf "%.2f\n", a / b }' >>"$WORK/r"
    done
    printf '%-46s %7s s  against %7s s   ratio %s (median of %d pairs)\n' "$name" "$(median <"$WORK/a")" \
        "$(median <"$WORK/b")" "$(median <"$WORK/r")" "$PAIRS"
}

compare "search compressed / plain (--jobs $JOBS)" \
    "$TOOL" search Şimşek "$WORK/packed" --jobs "$JOBS" -- "$TOOL" search Şimşek "$WORK/plain" --jobs "$JOBS"
compare "text of $PAGES compressed pages, --jobs 1 / $JOBS" \
    "$TOOL" text "$WORK/packed/r00.qrp" --jobs 1 -- "$TOOL" text "$WORK/packed/r00.qrp" --jobs "$JOBS"
