#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-to-preview time of qrpview, as a user sees it: from starting the
# program until the window manager lists the preview window (the page
# is painted in the same event-loop pass; bench/viewer_bench measures that
# part on its own). Needs an X server with an EWMH window manager on
# $DISPLAY (Xvfb and openbox will do), xprop from x11-utils.
#
#   scripts/bench-viewer-start.sh [QRPVIEW] [REPORT] [RUNS]
#
# Prints each run in milliseconds, then the median. Settings and the file
# association go to a temporary folder, removed at the end.
set -eu
QRPVIEW=${1:-build/src/app/main/qrpview}
REPORT=${2:-build/samples/sample-a4.qrp}
RUNS=${3:-10}
: "${DISPLAY:?needs an X server}"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"

now_ms() { date +%s%3N; }

run_once() {
    fifo="$home/spy"
    rm -f "$fifo"; mkfifo "$fifo"
    xprop -root -spy _NET_CLIENT_LIST >"$fifo" 2>/dev/null &
    spy=$!
    exec 3<"$fifo"
    read -r _ <&3 || true              # the windows listed before the start
    start=$(now_ms)
    "$QRPVIEW" "$REPORT" >/dev/null 2>&1 &
    viewer=$!
    found=""
    while [ -z "$found" ] && read -r line <&3; do
        for id in $(echo "${line#*#}" | tr ',' ' '); do
            name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null || true)
            [ -n "${BENCH_VERBOSE:-}" ] && echo "listed: $name" >&2
            case $name in
            *Zendivo\ v1.2*|*"not found"*|"") ;;
            *) found=$id ;;
            esac
        done
    done
    end=$(now_ms)
    exec 3<&-
    kill "$viewer" "$spy" 2>/dev/null || true
    wait "$viewer" 2>/dev/null || true
    echo $((end - start))
}

times=""
i=0
while [ "$i" -lt "$RUNS" ]; do
    t=$(run_once)
    echo "run $((i + 1)): $t ms"
    times="$times $t"
    i=$((i + 1))
    sleep 0.3
done
echo "$times" | tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "median: %d ms over %d runs\n", m, NR}'
