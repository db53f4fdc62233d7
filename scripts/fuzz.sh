#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the readers of untrusted files with libFuzzer under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs the page list's threading test
# under ThreadSanitizer.
#
#   scripts/fuzz.sh --ci          build; replay every stored input through
#                                 every target (fails on any finding); a short
#                                 exploratory run of each target with a fixed
#                                 seed (see "When a finding fails the run");
#                                 the ThreadSanitizer test
#   scripts/fuzz.sh --replay      only the replay of the stored inputs
#   scripts/fuzz.sh --long        the long run, one target per core: emfplay
#                                 60 min, report 30, decompress 15, info 15
#   scripts/fuzz.sh [--hours H | --minutes M] [TARGET...]
#                                 every named target (report, decompress,
#                                 emfplay, info; default all) for that long
#
# The long runs seed each target with the stored inputs and, when it is
# beside the checkout, every file of ../shared/corpus (EMF files as they are,
# and wrapped into one-page reports for the report readers). They grow their
# corpora in build-fuzz/work/; findings land in build-fuzz/artifacts/.
#
# Stored inputs: fuzz/corpus/*, tests/data/damaged, tests/data/emf and
# tests/data/reports. Every one of them goes through every target, whatever
# its kind: a reader must refuse a file of the wrong kind as calmly as a
# damaged one.
#
# When a finding fails the run: any finding while replaying the stored
# inputs. In the exploratory and long runs, a crash (sanitizer error or
# deadly signal) whose stack passes through our own sources; a timeout, an
# out-of-memory stop, or a failure inside the sanitizer runtime or a system
# library alone is reported with its saved input but does not fail the run,
# since those depend on the machine's speed and libraries. Every finding is
# reported with its target, its saved input and the top of its stack; keep
# it as a regression input in tests/data/damaged/ with a test in
# tests/hardening/.
#
# Environment: FUZZ_BUILD_DIR (build-fuzz), QRP_FUZZ_SECONDS (per target in
# --ci, 30), QRP_FUZZ_JOBS (targets at once, default the core count),
# QRP_FUZZ_LONG_PERCENT (--long runs that share of its times, default 100:
# 20 on a busy machine), QRP_FUZZ_RSS_MB (memory of one fuzzing process, 2048;
# --long: 1024), QRP_FUZZ_MALLOC_MB (one allocation, 300), QRP_FUZZ_TIMEOUT
# (seconds for one input, 10).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
ALL_TARGETS=(report decompress emfplay info)
SHARED=$ROOT/../shared/corpus

mode=explore
seconds=
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --ci) mode=ci ;;
    --replay) mode=replay ;;
    --long) mode=long ;;
    --hours) seconds=$(($2 * 3600)); shift ;;
    --minutes) seconds=$(($2 * 60)); shift ;;
    -h|--help) sed -n '2,40p' "$0"; exit 0 ;;
    report|decompress|emfplay|info) targets+=("$1") ;;
    *) echo "fuzz: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")
: "${seconds:=14400}"
jobs=${QRP_FUZZ_JOBS:-$(nproc)}

log() { echo "fuzz: $*" >&2; }

build() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQRP_FUZZ=ON -DQRP_WERROR=ON -DQRP_BUILD_TESTS=OFF -DQRP_BUILD_BENCH=OFF >/dev/null || return 1
  fi
  cmake --build "$BUILD" --target $(printf 'fuzz_%s ' "${ALL_TARGETS[@]}") -j"$(nproc)" >"$BUILD/fuzz-build.log" 2>&1 ||
    { tail -40 "$BUILD/fuzz-build.log"; return 1; }
}

# The same settings for every run: leaks are the unit tests' business
# (LeakSanitizer's tracer can fail inside a long run with Qt's threads), and
# no damaged input may ask for more than our page budget in one piece.
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
export QT_HASH_SEED=0
FLAGS=()
set_flags() {
  local rss=2048
  [ "$mode" = long ] && rss=1024
  FLAGS=(-detect_leaks=0 -timeout="${QRP_FUZZ_TIMEOUT:-10}" -rss_limit_mb="${QRP_FUZZ_RSS_MB:-$rss}"
         -malloc_limit_mb="${QRP_FUZZ_MALLOC_MB:-300}" -max_len=262144)
}

stored_inputs() {
  find "$ROOT/fuzz/corpus" "$ROOT/tests/data/damaged" "$ROOT/tests/data/emf" "$ROOT/tests/data/reports" \
    -type f ! -name '*.py' | sort
}

# Prints the finding in LOG: what it was, the saved input, the stack's top.
describe() {
  local t=$1 logf=$2
  log "finding in $t:"
  grep -m1 -E 'ERROR: |runtime error|deadly signal|fuzz finding|Test unit written' "$logf" >&2
  grep -m1 'Test unit written to' "$logf" | sed 's/^/fuzz:   input: /' >&2
  grep -m12 -E '^ +#[0-9]+ ' "$logf" >&2
}

# 0 when the finding in LOG is a crash that passes through our own code.
ours() {
  grep -qE 'ERROR: AddressSanitizer|runtime error|deadly signal|fuzz finding' "$1" &&
    ! grep -qE 'Tracer caught signal|LeakSanitizer has encountered a fatal error' "$1" &&
    grep -E '^ +#[0-9]+ |runtime error' "$1" | grep -qE '(^|[ /])(src|fuzz)/[A-Za-z0-9_/]+\.(cpp|h):'
}

replay() {
  local status=0 t files
  mapfile -t files < <(stored_inputs)
  mkdir -p "$BUILD/work"
  for t in "${targets[@]}"; do
    if "$BUILD/fuzz/fuzz_$t" "${FLAGS[@]}" -runs=1 "${files[@]}" >"$BUILD/work/replay-$t.log" 2>&1; then
      log "replayed ${#files[@]} stored inputs through $t"
    else
      describe "$t" "$BUILD/work/replay-$t.log"
      status=1
    fi
  done
  return $status
}

# Seeds from ../shared/corpus: the EMF files, and each wrapped as the single
# page of a report.
shared_seeds() {
  local t=$1 dir="$BUILD/seeds/$t"
  [ -d "$SHARED" ] || return 0
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir"
    python3 - "$SHARED" "$dir" "$t" <<'EOF'
import os, struct, sys, hashlib
src, dst, target = sys.argv[1:]
for base, _, names in os.walk(src):
    for name in names:
        if not name.lower().endswith('.emf'):
            continue
        data = open(os.path.join(base, name), 'rb').read()
        if len(data) > 262144:
            continue
        if target in ('report', 'info'):
            h = bytearray(128)
            h[0], h[2] = 3, 50
            struct.pack_into('<i', h, 8, 1)
            h[26:126] = b'H' * 100
            data = bytes(h) + struct.pack('<ii', 1, 128 + 8 + len(data) + 4) + data + struct.pack('<i', 128)
        open(os.path.join(dst, hashlib.sha1(data).hexdigest()), 'wb').write(data)
EOF
  fi
  echo "$dir"
}

seeds_of() {
  case "$1" in
    info) echo "$ROOT/fuzz/corpus/report" ;;
    *) echo "$ROOT/fuzz/corpus/$1" ;;
  esac
  case "$1" in
    emfplay) echo "$ROOT/tests/data/emf" ;;
    report|info) echo "$ROOT/tests/data/reports" ;;
  esac
}

ci_runs_of() {
  case "$1" in
    decompress) echo 600000 ;;
    report) echo 20000 ;;
    emfplay) echo 40000 ;;
    info) echo 15000 ;;
  esac
}

run_target() {
  local t=$1 secs=$2
  local logf="$BUILD/work/$t.log"
  mkdir -p "$BUILD/work/$t" "$BUILD/artifacts"
  local budget=(-max_total_time="$secs")
  local dirs=("$BUILD/work/$t")
  mapfile -t -O 1 dirs < <(seeds_of "$t")
  if [ $mode = ci ]; then
    # A fixed seed and run count, from an empty corpus each time, so that
    # the same machine repeats the same run.
    rm -rf "${BUILD:?}/work/$t" && mkdir -p "$BUILD/work/$t"
    budget=(-seed=20261208 -runs="$(ci_runs_of "$t")" -max_total_time="$secs")
  else
    local extra
    extra=$(shared_seeds "$t")
    [ -n "$extra" ] && dirs+=("$extra")
  fi
  # Record shapes worth trying, where the target has them.
  local dict=()
  [ -f "$ROOT/fuzz/$t.dict" ] && dict=(-dict="$ROOT/fuzz/$t.dict")
  "$BUILD/fuzz/fuzz_$t" "${budget[@]}" "${FLAGS[@]}" "${dict[@]}" -print_final_stats=1 \
    -artifact_prefix="$BUILD/artifacts/$t-" "${dirs[@]}" >"$logf" 2>&1
  local rc=$? runs verdict=clean
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logf")
  if [ $rc != 0 ]; then
    if ours "$logf"; then verdict=crash; else verdict=warning; fi
  fi
  echo "$t ${runs:-0} $verdict" >>"$BUILD/work/summary"
  return 0
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

# Runs "target:seconds" pairs, $jobs at a time, longest first.
explore() {
  local running=0 pair
  rm -f "$BUILD/work/summary"
  for pair in "$@"; do
    run_target "${pair%%:*}" "${pair##*:}" &
    running=$((running + 1))
    if [ $running -ge "$jobs" ]; then
      wait -n
      running=$((running - 1))
    fi
  done
  wait
  local status=0 total=0 t runs verdict
  while read -r t runs verdict; do
    log "$(printf '%-10s %10s runs  %s' "$t" "$runs" "$verdict")"
    total=$((total + runs))
    case $verdict in
      crash) describe "$t" "$BUILD/work/$t.log"; status=1 ;;
      warning) describe "$t" "$BUILD/work/$t.log"
               log "(not a crash of our code: reported, not failing the run)" ;;
    esac
  done <"$BUILD/work/summary"
  log "$total runs in total"
  return $status
}

start=$(date +%s)
set_flags
build || { log "build failed"; exit 1; }
mkdir -p "$BUILD/work"
status=0
replay || status=1
case $mode in
  replay) ;;
  ci)
    log "exploring ${targets[*]} with a fixed seed and run count, $jobs at a time"
    pairs=()
    for t in "${targets[@]}"; do pairs+=("$t:${QRP_FUZZ_SECONDS:-30}"); done
    explore "${pairs[@]}" || status=1
    tsan || status=1
    ;;
  long)
    pct=${QRP_FUZZ_LONG_PERCENT:-100}
    log "long run at $pct%: emfplay 60 min, report 30, decompress 15, info 15, $jobs at a time (${FLAGS[*]})"
    explore emfplay:$((3600 * pct / 100)) report:$((1800 * pct / 100)) decompress:$((900 * pct / 100)) \
      info:$((900 * pct / 100)) || status=1
    ;;
  explore)
    log "fuzzing ${targets[*]} for ${seconds}s each, $jobs at a time"
    pairs=()
    for t in "${targets[@]}"; do pairs+=("$t:$seconds"); done
    explore "${pairs[@]}" || status=1
    ;;
esac
log "done in $(($(date +%s) - start))s: $([ $status = 0 ] && echo 'no findings' || echo 'FINDINGS')"
exit $status
