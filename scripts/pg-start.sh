#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a private PostgreSQL cluster for the archive index tests: initdb
# into a temporary folder as an unprivileged user, a Unix socket in that
# folder, no TCP. Prints shell assignments for the tests to eval:
#   QRP_TEST_PG_HOST  the socket folder
#   QRP_TEST_PG_USER  the cluster's superuser
#   QRP_TEST_PG_DIR   the folder pg-stop.sh removes
# Usage: eval "$(scripts/pg-start.sh)"
set -euo pipefail

BIN=${QRP_PG_BIN:-/usr/lib/postgresql/15/bin}
fail() { echo "pg-start: $*" >&2; exit 1; }
[ -x "$BIN/initdb" ] && [ -x "$BIN/pg_ctl" ] || fail "$BIN/initdb is missing; run scripts/install-deps.sh"

# The server refuses to run as root: as root it runs as nobody.
RUN=()
if [ "$(id -u)" -eq 0 ]; then
  id nobody >/dev/null 2>&1 || fail "needs the user nobody to run the server as"
  RUN=(runuser -u nobody --)
fi
DIR=$(mktemp -d "${TMPDIR:-/tmp}/qrp-pg.XXXXXX")
chmod 755 "$DIR"
[ ${#RUN[@]} -eq 0 ] || chown nobody "$DIR"
USER_NAME=qrp_admin
log=$DIR/server.log
if ! "${RUN[@]}" "$BIN/initdb" -D "$DIR/data" -U "$USER_NAME" -A trust -E UTF8 --locale=C.UTF-8 -N \
  >"$DIR/initdb.log" 2>&1; then
  cat "$DIR/initdb.log" >&2
  rm -rf "$DIR"
  fail "initdb failed"
fi
if ! "${RUN[@]}" "$BIN/pg_ctl" -D "$DIR/data" -l "$log" -w -s \
  -o "-c listen_addresses='' -k $DIR -c fsync=off -c max_connections=60" start >/dev/null; then
  cat "$log" >&2
  rm -rf "$DIR"
  fail "the server did not start"
fi
echo "export QRP_TEST_PG_HOST=$DIR QRP_TEST_PG_USER=$USER_NAME QRP_TEST_PG_DIR=$DIR"
