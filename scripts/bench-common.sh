# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers the benchmark scripts share; sourced, not run.

# Wall seconds of a command, its output thrown away.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

# The median of the numbers on standard input, one a line.
median() { sort -g | awk '{v[NR] = $1} END {print (NR ? v[int((NR + 1) / 2)] : "n/a")}'; }
