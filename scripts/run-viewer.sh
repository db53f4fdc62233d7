#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and opens the bundled sample report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRP_BUILD_TESTS=OFF -DQRP_BUILD_BENCH=OFF >/dev/null
cmake --build build
if [ -x build/src/app/main/qrpview ] && [ -f build/samples/sample-a4.qrp ]; then
  exec build/src/app/main/qrpview build/samples/sample-a4.qrp
fi
exec build/src/tools/qrptool info tests/data/reports/sample.qrp
