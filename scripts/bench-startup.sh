#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# qrptool's start-up against its yardsticks, in alternating runs (the ratio
# is what counts on a busy machine): `qrptool --help` against /bin/true and
# `qrptool info` of a one-page report against `pdfinfo` of the same page as
# PDF. Prints the median CPU time of each and the median of the pairwise
# ratios, and the Qt libraries each command has loaded.
#   scripts/bench-startup.sh [QRPTOOL] [PAIRS of batches of 20 runs]
set -euo pipefail
# The figures are read and printed with a decimal point whatever the locale.
export LC_NUMERIC=C

TOOL=$(realpath "${1:-build-bench/src/tools/qrptool}")
RUNS=${2:-10}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
REPORT=$SOURCE/tests/data/reports/layout-120.qrp
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-startup-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
command -v pdfinfo >/dev/null || { echo "pdfinfo (poppler-utils) is needed" >&2; exit 1; }

"$TOOL" render "$REPORT" --format pdf -o "$WORK/page.pdf" >/dev/null

# CPU seconds (user + system) of one run of the command, from the system's
# accounting of a batch of 20 (its clock ticks are 10 ms): wall time on a
# shared machine says more about the neighbours.
cpu() {
  local out
  out=$( { /usr/bin/time -f '%U %S' sh -c 'for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    "$@" >/dev/null 2>&1; done' sh "$@"; } 2>&1 | tail -1)
  awk '{printf "%.4f\n", ($1 + $2) / 20}' <<<"$out"
}

compare() {
  local name=$1 a=$2 b=$3 i
  : >"$WORK/a" && : >"$WORK/b" && : >"$WORK/r"
  for ((i = 0; i < RUNS; ++i)); do
    ta=$(cpu $a) && tb=$(cpu $b)
    echo "$ta" >>"$WORK/a" && echo "$tb" >>"$WORK/b"
    awk -v a="$ta" -v b="$tb" 'BEGIN { if (b > 0) print a / b }' >>"$WORK/r"
  done
  median() { sort -g "$1" | awk '{v[NR] = $1} END {print (NR ? v[int((NR + 1) / 2)] : "n/a")}'; }
  printf '%-44s %8s s  against %8s s   ratio %s (median of pairs)\n' "$name" "$(median "$WORK/a")" \
    "$(median "$WORK/b")" "$(median "$WORK/r")"
}

compare "qrptool --help / true" "$TOOL --help" "/bin/true"
compare "qrptool info (1 page) / pdfinfo (1 page)" "$TOOL info $REPORT" "pdfinfo $WORK/page.pdf"

for command in "info $REPORT" "text $REPORT" "thumbnail $REPORT $WORK/t.png" "printers"; do
  rm -f "$WORK/maps"
  QRPTOOL_MAPS_TO=$WORK/maps "$TOOL" $command >/dev/null 2>&1 || true
  printf '%-12s loads %s\n' "${command%% *}" "$(grep -so 'libQt6[A-Za-z]*' "$WORK/maps" | sort -u | tr '\n' ' ' || true)"
done
