#!/bin/bash
# Fuzzes the readers of untrusted files with libFuzzer under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs the page list's threading test
# under ThreadSanitizer.
#
#   scripts/fuzz.sh --ci          build, replay tests/data/damaged, fuzz each
#                                 target for about a minute (two at a time,
#                                 fixed seed and run count, so every CI run
#                                 repeats the same inputs), run the
#                                 ThreadSanitizer test; fails on any finding
#   scripts/fuzz.sh [--hours H]   the long run: every target at once for H
#                                 hours (default 4), growing the corpora in
#                                 build-fuzz/work/; findings land in
#                                 build-fuzz/artifacts/ and fail the run
#   scripts/fuzz.sh TARGET...     only those targets (report, decompress,
#                                 emfplay, info)
#
# Environment: FUZZ_BUILD_DIR (build-fuzz), QRP_FUZZ_SECONDS (per target
# in --ci, 60), QRP_FUZZ_JOBS (targets at once in --ci, 2).
# A finding is kept as a regression input: copy it to tests/data/damaged/
# and add a test in tests/hardening/.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
ALL_TARGETS=(report decompress emfplay info)

ci=0
hours=4
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --ci) ci=1 ;;
    --hours) hours=$2; shift ;;
    -h|--help) sed -n '2,23p' "$0"; exit 0 ;;
    *) targets+=("$1") ;;
  esac
  shift
done
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")

seconds=$((hours * 3600))
[ $ci = 1 ] && seconds=${QRP_FUZZ_SECONDS:-60}
# libFuzzer takes 0 as "no limit".
[ "$seconds" -ge 1 ] || seconds=1

log() { echo "fuzz: $*" >&2; }

build() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQRP_FUZZ=ON -DQRP_BUILD_TESTS=OFF -DQRP_BUILD_BENCH=OFF >/dev/null || return 1
  fi
  cmake --build "$BUILD" --target $(printf 'fuzz_%s ' "${targets[@]}") -j"$(nproc)" >"$BUILD/fuzz-build.log" 2>&1 ||
    { tail -40 "$BUILD/fuzz-build.log"; return 1; }
}

seeds_of() {
  case "$1" in
    info) echo "$ROOT/fuzz/corpus/report" ;;
    *) echo "$ROOT/fuzz/corpus/$1" ;;
  esac
}

ci_runs_of() {
  case "$1" in
    decompress) echo 1500000 ;;
    report) echo 40000 ;;
    emfplay) echo 80000 ;;
    info) echo 30000 ;;
  esac
}

# Replays every kept damaged input once through each target that reads its
# kind of file.
replay() {
  local status=0 t files
  for t in "${targets[@]}"; do
    case "$t" in
      report|info) files=("$ROOT"/tests/data/damaged/*.qrp) ;;
      emfplay) files=("$ROOT"/tests/data/damaged/*.emf) ;;
      decompress) files=("$ROOT"/tests/data/damaged/*.coded) ;;
    esac
    [ -e "${files[0]}" ] || continue
    "$BUILD/fuzz/fuzz_$t" -runs=1 "${files[@]}" >"$BUILD/work/replay-$t.log" 2>&1 ||
      { log "replaying damaged inputs through $t failed:"; tail -30 "$BUILD/work/replay-$t.log"; status=1; }
  done
  return $status
}

run_target() {
  local t=$1
  mkdir -p "$BUILD/work/$t" "$BUILD/artifacts"
  # Leaks are the unit tests' business: LeakSanitizer's own tracer can fail
  # inside a long fuzzing run with Qt's threads and report an empty input.
  export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=0
  export QT_QPA_PLATFORM=offscreen
  # malloc_limit_mb: no damaged input may ask for more than our page budget
  # in one piece.
  local budget=(-max_total_time="$seconds")
  if [ $ci = 1 ]; then
    # CI replays the same fixed-seed run every time, so a submission that
    # passed here passes there: a regression shows, chance does not. The run
    # counts take about a minute each on two shared cores.
    rm -rf "${BUILD:?}/work/$t" && mkdir -p "$BUILD/work/$t"
    export QT_HASH_SEED=0
    budget=(-seed=20261208 -runs="$(ci_runs_of "$t")" -max_total_time=$((seconds * 3)))
  fi
  "$BUILD/fuzz/fuzz_$t" "${budget[@]}" -detect_leaks=0 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=300 \
    -max_len=262144 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$t-" \
    "$BUILD/work/$t" "$(seeds_of "$t")" >"$BUILD/work/$t.log" 2>&1
  local rc=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/work/$t.log")
  echo "$t ${runs:-0} $rc" >>"$BUILD/work/summary"
  return $rc
}

tsan() {
  cmake -S fuzz/tsan -B "$BUILD/tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
    cmake --build "$BUILD/tsan" -j"$(nproc)" >"$BUILD/tsan-build.log" 2>&1 ||
    { tail -40 "$BUILD/tsan-build.log"; return 1; }
  TSAN_OPTIONS=halt_on_error=1 "$BUILD/tsan/pagelist_threads_test" >"$BUILD/work/tsan.log" 2>&1 ||
    { tail -60 "$BUILD/work/tsan.log"; return 1; }
  log "ThreadSanitizer: page list threading test clean"
}

start=$(date +%s)
build || { log "build failed"; exit 1; }
mkdir -p "$BUILD/work"
rm -f "$BUILD/work/summary"
status=0
replay || status=1

jobs=${#targets[@]}
[ $ci = 1 ] && jobs=${QRP_FUZZ_JOBS:-2}
if [ $ci = 1 ]; then
  log "fuzzing ${targets[*]} with a fixed seed and run count, $jobs at a time"
else
  log "fuzzing ${targets[*]} for ${seconds}s each, $jobs at a time"
fi
running=0
for t in "${targets[@]}"; do
  run_target "$t" &
  running=$((running + 1))
  if [ $running -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ $running -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done

total=0
while read -r t runs rc; do
  log "$(printf '%-10s %10s runs  exit %s' "$t" "$runs" "$rc")"
  total=$((total + runs))
  [ "$rc" = 0 ] || { log "finding in $t:"; grep -m1 -A12 -E 'ERROR|SUMMARY|fuzz finding|runtime error' "$BUILD/work/$t.log" >&2; }
done <"$BUILD/work/summary"
log "$total runs in total"

if [ $ci = 1 ]; then
  tsan || status=1
fi
log "done in $(($(date +%s) - start))s: $([ $status = 0 ] && echo 'no findings' || echo 'FINDINGS')"
exit $status
