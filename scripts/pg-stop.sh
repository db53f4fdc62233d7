#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Stops the cluster pg-start.sh started (its folder in $QRP_TEST_PG_DIR or
# the first argument) and removes the folder.
set -euo pipefail
BIN=${QRP_PG_BIN:-/usr/lib/postgresql/15/bin}
DIR=${1:-${QRP_TEST_PG_DIR:-}}
[ -n "$DIR" ] && [ -d "$DIR/data" ] || exit 0
RUN=()
[ "$(id -u)" -ne 0 ] || RUN=(runuser -u nobody --)
"${RUN[@]}" "$BIN/pg_ctl" -D "$DIR/data" -m fast -w -s stop >/dev/null || true
rm -rf "$DIR"
