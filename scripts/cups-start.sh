#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a CUPS server for the print tests, without systemd, with two queues:
#   qrp-pdf   the default printer: the cups-pdf backend, whose driver makes
#             copies; every job becomes a PDF in $QRP_CUPS_PDF_DIR.
#   qrp-file  a file: device with the Generic PDF PPD, whose driver makes no
#             copies (cupsManualCopies); every job overwrites $QRP_CUPS_FILE_OUT.
# Writes the pid of the cupsd it started and the output locations into the
# state folder ($QRP_CUPS_STATE, default /run/qrp-cups): cupsd.pid and
# cups.env (shell assignments that tests may source). Needs root. Safe to
# run again; a cupsd that was already running is used and left alone.
set -euo pipefail

STATE=${QRP_CUPS_STATE:-/run/qrp-cups}
PDF_DIR=${QRP_CUPS_PDF_DIR:-/var/spool/qrp-cups/pdf}
FILE_OUT=${QRP_CUPS_FILE_OUT:-/var/spool/qrp-cups/file/qrp-file.pdf}
PDF_PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
FILE_PPD=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd

fail() { echo "cups-start: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "needs root"
for f in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf "$PDF_PPD" "$FILE_PPD"; do
  [ -e "$f" ] || fail "$f is missing; run scripts/install-deps.sh"
done
mkdir -p "$STATE" "$PDF_DIR" "$(dirname "$FILE_OUT")"
chmod 1777 "$PDF_DIR"

# ensure FILE KEY VALUE: leaves exactly one active "KEY VALUE" line; status 0
# when the file had to change.
ensure() {
  local file=$1 key=$2 value=$3
  touch "$file"
  if [ "$(grep -c "^[[:space:]]*$key[[:space:]]" "$file")" -eq 1 ] && grep -qxF "$key $value" "$file"; then
    return 1
  fi
  sed -i "/^[[:space:]]*$key[[:space:]]/d" "$file"
  echo "$key $value" >>"$file"
}

changed=0
ensure /etc/cups/cups-files.conf FileDevice Yes && changed=1 # file: device URIs
ensure /etc/cups/cupsd.conf Browsing No && changed=1          # no avahi in containers
# cups-pdf reads its file at every job: no restart for these.
ensure /etc/cups/cups-pdf.conf Out "$PDF_DIR" || true
ensure /etc/cups/cups-pdf.conf Label 1 || true     # job_<id>- prefix: files never collide
ensure /etc/cups/cups-pdf.conf TitlePref 1 || true # the job title names the file

scheduler_up() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }
our_pid() {
  local pid
  pid=$(cat "$STATE/cupsd.pid" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = cupsd ] && echo "$pid"
}
launch() {
  setsid /usr/sbin/cupsd -f </dev/null >>"$STATE/cupsd.log" 2>&1 &
  echo $! >"$STATE/cupsd.pid"
  for _ in $(seq 100); do scheduler_up && return 0; sleep 0.1; done
  fail "cupsd did not come up; see $STATE/cupsd.log and /var/log/cups/error_log"
}

if pid=$(our_pid); then
  if [ "$changed" -eq 1 ]; then
    kill "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    launch
  fi
elif scheduler_up; then
  [ "$changed" -eq 0 ] || fail "a cupsd we did not start runs with the old configuration; restart it and run again"
  rm -f "$STATE/cupsd.pid"
else
  launch
fi

# lpadmin warns that PPD drivers are deprecated: show its output only on failure.
admin() { local out; out=$(lpadmin "$@" 2>&1) || fail "lpadmin $*: $out"; }
admin -p qrp-pdf -E -v cups-pdf:/ -P "$PDF_PPD" -o printer-is-shared=false
admin -p qrp-file -E -v "file:$FILE_OUT" -P "$FILE_PPD" -o printer-is-shared=false
admin -p qrp-file -o print-color-mode-default=color # -P resets it; the PPD would default to grey
admin -d qrp-pdf

cat >"$STATE/cups.env" <<ENV
QRP_CUPS_PDF_QUEUE=qrp-pdf
QRP_CUPS_PDF_DIR=$PDF_DIR
QRP_CUPS_FILE_QUEUE=qrp-file
QRP_CUPS_FILE_OUT=$FILE_OUT
ENV
pid=$(our_pid || true)
echo "cups-start: cupsd ${pid:+pid $pid }ready; qrp-pdf (default) -> $PDF_DIR, qrp-file -> $FILE_OUT"
