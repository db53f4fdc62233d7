#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The thumbnailer inside a real thumbnail service: tumbler, on a private
# session bus, finds the installed qrpview.thumbnailer through
# XDG_DATA_DIRS, and is asked through org.freedesktop.thumbnails.Thumbnailer1
# for "normal" thumbnails of a report and of a damaged one. The report gets
# Ready and a PNG named by the MD5 of its URI with Thumb::URI and
# Thumb::MTime; the damaged one gets Error and no file. Without tumbler or
# dbus-daemon the test is skipped (exit 77).
#   check_tumbler.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
tumblerd=
for d in /usr/lib/*/tumbler-1 /usr/lib/tumbler-1 /usr/libexec/tumbler-1; do
  [ -x "$d/tumblerd" ] && { tumblerd=$d/tumblerd; break; }
done
for need in dbus-daemon dbus-run-session gdbus python3; do
  command -v "$need" >/dev/null || { echo "SKIP: $need is not installed (dbus, libglib2.0-bin, python3)"; exit 77; }
done
[ -n "$tumblerd" ] || { echo "SKIP: tumblerd is not installed (tumbler)"; exit 77; }

# Inside the private bus: the same script, with the bus already there.
if [ -z "${QRP_TUMBLER_INNER:-}" ]; then
  root=$(mktemp -d "${TMPDIR:-/tmp}/qrp-tumbler-XXXXXX")
  # QRP_KEEP=1 keeps the folder (bus.log, signals) for a look afterwards.
  [ -n "${QRP_KEEP:-}" ] || trap 'rm -rf "$root"' EXIT
  cmake --install "$build" --prefix "$root/usr" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
  # Nothing of the user's: data, cache and configuration under $root only.
  # No video thumbnails here: an empty GStreamer plugin path spares tumbler's
  # GStreamer plugin its registry scan.
  mkdir -p "$root/no-gst"
  GST_PLUGIN_SYSTEM_PATH_1_0=$root/no-gst GST_PLUGIN_PATH_1_0=$root/no-gst \
  QRP_TUMBLER_INNER=$root HOME=$root/home XDG_CACHE_HOME=$root/cache \
    XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_DATA_DIRS=$root/usr/share:/usr/share \
    PATH=$root/usr/bin:$PATH ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0 \
    timeout 240 dbus-run-session -- "$0" "$build" "$source" 2>"$root/bus.log"
  status=$?
  # The bus and the service talk on standard error; shown when it failed.
  [ $status -eq 0 ] || { echo "--- bus and service (status $status)"; cat "$root/bus.log"; }
  exit $status
fi

root=$QRP_TUMBLER_INNER
mkdir -p "$root/home" "$root/files"
cp "$source/tests/data/reports/sample.qrp" "$root/files/report.qrp"
cp "$source/tests/data/damaged/wrong-header.qrp" "$root/files/damaged.qrp"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

service=org.freedesktop.thumbnails.Thumbnailer1
object=/org/freedesktop/thumbnails/Thumbnailer1
# dbus-monitor writes each signal as it comes (gdbus monitor's output is
# buffered when it goes to a file); then the bus starts tumblerd from its
# D-Bus service file, as a desktop session does.
dbus-monitor --session "type='signal',interface='$service'" >"$root/signals" 2>&1 &
monitor_pid=$!
trap 'kill $monitor_pid 2>/dev/null; wait 2>/dev/null' EXIT
# A second on an idle machine; far longer on a loaded one.
for _ in $(seq 100); do
  gdbus call --session --timeout 120 --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.StartServiceByName "$service" 0 >/dev/null 2>&1 && break
  sleep 1
done
# One line per signal: "member=Ready uint32 1 array [ string "file:///..." ]".
signals() {
  awk '/^signal /{ if (l) print l; l = ""; for (i = 1; i <= NF; ++i) if ($i ~ /^member=/) l = $i; next }
       { sub(/^ +/, ""); l = l " " $0 } END { if (l) print l }' "$root/signals"
}

# Queue(uris, mime types, flavour, scheduler, handle to unqueue) -> handle;
# then waits up to 60 s for the handle's Finished signal.
queue() {
  local handle
  handle=$(gdbus call --session --dest "$service" --object-path "$object" \
    --method "$service.Queue" "['$1']" "['application/x-qrpfile']" normal default 0) ||
    { fail "Queue $1"; return 1; }
  handle=$(sed -n 's/^(uint32 \([0-9]*\),)$/\1/p' <<<"$handle")
  for _ in $(seq 600); do
    signals | grep -q "^member=Finished uint32 $handle\$" && break
    sleep 0.1
  done
  signals | grep "^member=[A-Za-z]* uint32 $handle " | grep -v "^member=Started "
}

uri() { python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$1"; }
thumb() { echo "$root/cache/thumbnails/normal/$(printf %s "$1" | md5sum | cut -d' ' -f1).png"; }

good=$(uri "$root/files/report.qrp")
answer=$(queue "$good")
grep -q "^member=Ready uint32 [0-9]* array \[ string \"$good\" \]" <<<"$answer" || fail "no Ready for the report: $answer"
png=$(thumb "$good")
if [ -s "$png" ]; then
  # The PNG's size and its text chunks, as the freedesktop cache names them.
  python3 - "$png" "$good" "$(stat -c %Y "$root/files/report.qrp")" <<'PY' || fail "thumbnail $png"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
texts, pos = {}, 8
while pos + 8 <= len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        width, height = struct.unpack(">II", body[:8])
    elif kind == b"tEXt":
        key, _, value = body.partition(b"\0")
        texts[key.decode()] = value.decode()
    elif kind == b"zTXt":
        key, _, value = body.partition(b"\0")
        texts[key.decode()] = zlib.decompress(value[1:]).decode()
    pos += 12 + length
ok = True
if texts.get("Thumb::URI") != sys.argv[2]:
    print("FAIL: Thumb::URI is %r, not %r" % (texts.get("Thumb::URI"), sys.argv[2]))
    ok = False
# Whole seconds, or with a fraction (tumbler 4.18 writes microseconds).
mtime = texts.get("Thumb::MTime", "")
if mtime.split(".")[0] != sys.argv[3]:
    print("FAIL: Thumb::MTime is %r, not %s" % (mtime, sys.argv[3]))
    ok = False
if max(width, height) != 128:
    print("FAIL: normal thumbnail is %dx%d" % (width, height))
    ok = False
sys.exit(0 if ok else 1)
PY
else
  fail "no thumbnail $png"
fi

bad=$(uri "$root/files/damaged.qrp")
answer=$(queue "$bad")
grep -q "^member=Error uint32 [0-9]* array \[ string \"$bad\" \]" <<<"$answer" || fail "no Error for the damaged report: $answer"
[ ! -e "$(thumb "$bad")" ] || fail "a thumbnail for the damaged report"

if [ $failures -ne 0 ]; then
  echo "--- signals"; cat "$root/signals"
  exit 1
fi
echo "tumbler: Ready and a 128-pixel thumbnail for the report, Error and no file for the damaged one"
