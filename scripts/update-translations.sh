#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Refreshes i18n/qrpview_tr.ts from the sources: new texts arrive unfinished,
# texts no longer used are dropped, translations already made are kept.
# The build compiles the .ts with lrelease; this script is for developers.
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
"$LUPDATE" -silent -locations none -no-obsolete -source-language en -target-language tr_TR -I src \
  src/app src/preview src/printer src/platform/i18n src/platform/print src/tools \
  -ts i18n/qrpview_tr.ts
