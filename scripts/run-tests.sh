#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, starts a private CUPS server when we may
# (root) and a private PostgreSQL cluster (Unix socket only, in a temporary
# folder), and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

BUILD=${BUILD_DIR:-build-asan}
# Warnings fail the build here, as in CI; a build by hand keeps them warnings.
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRP_SANITIZE=ON -DQRP_WERROR=ON >/dev/null
cmake --build "$BUILD"

cups_started=
if [ -x scripts/cups-start.sh ] && [ "$(id -u)" -eq 0 ]; then
  scripts/cups-start.sh && cups_started=1
fi
# The archive index tests on a server; without one they skip.
pg_env=
if [ -x scripts/pg-start.sh ] && pg_env=$(scripts/pg-start.sh); then
  eval "$pg_env"
else
  echo "run-tests: no PostgreSQL server; the server index tests will skip" >&2
fi
cleanup() {
  [ -z "$cups_started" ] || scripts/cups-stop.sh || true
  [ -z "$pg_env" ] || scripts/pg-stop.sh || true
}
trap cleanup EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
# Short fuzzing runs catch regressions in the parsers of untrusted files.
# They run first so that ctest's summary closes the output.
if [ -x scripts/fuzz.sh ] && [ "${QRP_SKIP_FUZZ:-}" != 1 ]; then
  scripts/fuzz.sh --ci || status=$?
fi
ctest --test-dir "$BUILD" --output-on-failure -j2 --timeout 600 || status=$?
exit $status
