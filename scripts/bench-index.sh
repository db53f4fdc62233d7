#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The archive index against its targets: build speed (pages/s, plain and
# compressed), index size as a share of the reports, a two-word query, an
# update after one report changed, and the peak memory of updates of
# archives of different sizes (it should not grow with the archive).
#   scripts/bench-index.sh [QRPTOOL] [PAGES] [JOBS]
# The queries are timed twice: as whole qrptool runs, and in process by
# bench/archiveindex_bench of the same build when it is there.
# PAGES (default 20000) is split between plain and compressed reports made
# by `qrptool demo` in sizes from 5 to 400 pages. With LINKS=1 each size is
# made once and the archive is hard links to it: a demo report's text does
# not change between runs anyway, and a million pages of distinct files
# would take some 60 GB. Sizes are then counted per link, as copies would be.
set -euo pipefail

TOOL=${1:-build-bench/src/tools/qrptool}
PAGES=${2:-20000}
JOBS=${3:-2}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-index-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

SIZES=(5 12 40 100 400 20 60 250)

# make_archive DIR PAGES [--compress]: demo reports of varied sizes.
make_archive() {
    local dir=$1 want=$2 flag=${3:-} made=0 i=0
    mkdir -p "$dir" "$WORK/proto"
    while ((made < want)); do
        local n=${SIZES[i % ${#SIZES[@]}]}
        ((n > want - made)) && n=$((want - made))
        mkdir -p "$dir/$((i / 100))"
        local file="$dir/$((i / 100))/r$i.qrp" proto="$WORK/proto/$n$flag.qrp"
        if [[ ${LINKS:-0} == 1 ]]; then
            [[ -f $proto ]] || "$TOOL" demo "$proto" --pages "$n" $flag >/dev/null
            ln "$proto" "$file"
        else
            "$TOOL" demo "$file" --pages "$n" $flag >/dev/null
        fi
        made=$((made + n))
        i=$((i + 1))
    done
}

# seconds and peak RSS (kB) of a command, as "SECONDS KB".
measure() {
    /usr/bin/time -f "%e %M" -o "$WORK/time" "$@" >"$WORK/out" 2>"$WORK/err"
    cat "$WORK/time"
}

bytes() { du -sbl "$1" | cut -f1; }

half=$((PAGES / 2))
make_archive "$WORK/plain" "$half"
make_archive "$WORK/packed" "$half" --compress

# One index: the plain reports first, then the compressed ones added to it.
read -r s kb < <(measure "$TOOL" index update --db "$WORK/all.db" "$WORK/plain" --jobs "$JOBS")
echo "index build, plain:      $half pages in ${s}s = $(echo "$half / $s" | bc) pages/s, peak ${kb} kB"
plainDb=$(bytes "$WORK/all.db")
read -r s kb < <(measure "$TOOL" index update --db "$WORK/all.db" "$WORK/plain" "$WORK/packed" --jobs "$JOBS")
echo "index build, compressed: $half pages in ${s}s = $(echo "$half / $s" | bc) pages/s, peak ${kb} kB"
allDb=$(bytes "$WORK/all.db")
echo "index size:              $((allDb / PAGES)) bytes a page; $(echo "scale=1; 100 * $plainDb / $(bytes "$WORK/plain")" | bc)%" \
     "of plain reports, $(echo "scale=1; 100 * ($allDb - $plainDb) / $(bytes "$WORK/packed")" | bc)% of compressed ones"

for q in "genel toplam" "ışıklar tekstil" "çelik profil" "fatura ilgaz" "kırtasiye şerit"; do
    times=()
    for _ in 1 2 3 4 5; do
        read -r s _kb < <(measure "$TOOL" index query --db "$WORK/all.db" "$q" --limit 20)
        times+=("$s")
    done
    echo "query \"$q\": best of 5 $(printf '%s\n' "${times[@]}" | sort -n | head -1)s (qrptool start included)"
done

# The longest query taken: 64 words, each scored on every page found.
long=$(printf 'toplam %.0s' $(seq 64))
read -r s kb < <(measure "$TOOL" index query --db "$WORK/all.db" "$long" --limit 20)
echo "query of 64 words: ${s}s, peak ${kb} kB (qrptool start included)"

BENCH=$(dirname "$TOOL")/../../bench/archiveindex_bench
if [[ -x $BENCH ]]; then
    QRP_INDEX_BENCH_DB="$WORK/all.db" "$BENCH" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        2>/dev/null | awk '/_median/ { sub(/BM_TwoWordQuery\/[0-9]+_median/, "query in process, median of 5:"); print }'
fi

# One report replaced by another of a different size.
victim=$(find "$WORK/plain" -name '*.qrp' | sort | sed -n 1p) # head would end sort early: SIGPIPE
rm "$victim" # it may be a hard link
"$TOOL" demo "$victim" --pages 7 >/dev/null
read -r s kb < <(measure "$TOOL" index update --db "$WORK/all.db" "$WORK/plain" "$WORK/packed" --jobs "$JOBS")
echo "update after one report changed: ${s}s, peak ${kb} kB ($(cat "$WORK/out"))"
