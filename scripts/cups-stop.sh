#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Stops the cupsd that cups-start.sh started, by its pid, and nothing else.
# The queues stay defined for the next start.
set -euo pipefail
STATE=${QRP_CUPS_STATE:-/run/qrp-cups}
pid=$(cat "$STATE/cupsd.pid" 2>/dev/null || true)
if [ -z "$pid" ] || [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != cupsd ]; then
  rm -f "$STATE/cupsd.pid"
  exit 0
fi
kill "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { echo "cups-stop: cupsd $pid ignores SIGTERM" >&2; exit 1; }
rm -f "$STATE/cupsd.pid"
echo "cups-stop: stopped cupsd $pid"
