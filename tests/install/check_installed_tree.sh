#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a temporary prefix and checks that every
# file the desktop needs is there and that the validators accept the
# desktop entry, the MIME package, the AppStream metadata and the
# thumbnailer. A validator that is not installed is skipped with a message
# (exit 77: ctest reports the test as skipped).
#   check_installed_tree.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
root=$(mktemp -d "${TMPDIR:-/tmp}/qrp-install-XXXXXX")
trap 'rm -rf "$root"' EXIT
failures=0 skipped=()
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null || { skipped+=("$1 ($2)"); return 1; }; }

cmake --install "$build" --prefix "$root/usr" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
share=$root/usr/share
expected=(
  usr/bin/qrpview usr/bin/qrptool
  usr/share/applications/qrpview.desktop
  usr/share/mime/packages/qrpfile.xml
  usr/share/icons/hicolor/scalable/apps/qrpview.svg
  usr/share/metainfo/org.example.zendivo.qrpview.metainfo.xml
  usr/share/thumbnailers/qrpview.thumbnailer
  usr/share/man/man1/qrpview.1 usr/share/man/man1/qrptool.1
  usr/share/bash-completion/completions/qrptool
  usr/share/qrpview/translations/qrpview_tr.qm
)
for size in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/qrpview.png")
done
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || fail "$f is missing"
done
# Nothing outside /usr.
stray=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$stray" ] || fail "installed outside /usr: $stray"

for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/qrpview.png
  [ -s "$png" ] || continue
  # PNG header: width and height as 32-bit big-endian numbers at 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "qrpview.png for $size is $dims"
done

# The thumbnailer runs what it names, with the installed program.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/qrpview.thumbnailer")
[ "$exec_line" = "qrptool thumbnail -s %s %i %o" ] || fail "thumbnailer Exec is \"$exec_line\""
grep -q '^MimeType=.*application/x-qrpfile;' "$share/thumbnailers/qrpview.thumbnailer" || fail "thumbnailer MIME type"
grep -q '^MimeType=.*application/x-qrpfile;' "$share/applications/qrpview.desktop" || fail "desktop entry MIME type"
grep -q '^\.SH' "$share/man/man1/qrptool.1" && grep -q 'thumbnail' "$share/man/man1/qrptool.1" || fail "qrptool.1 lacks the commands"

if have desktop-file-validate desktop-file-utils; then
  desktop-file-validate "$share/applications/qrpview.desktop" || fail "desktop-file-validate"
fi
metainfo=$share/metainfo/org.example.zendivo.qrpview.metainfo.xml
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "AppStream project_license"
grep -q '<metadata_license>CC0-1.0</metadata_license>' "$metainfo" || fail "AppStream metadata_license"
if have appstreamcli appstream; then
  appstreamcli validate --no-net --pedantic "$share/metainfo/org.example.zendivo.qrpview.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate: $(appstreamcli validate --no-net "$share/metainfo/"*.xml)"
fi
if have update-mime-database shared-mime-info; then
  # It notes that the folder is not in the search path; anything more is a fault.
  out=$(update-mime-database "$share/mime" 2>&1) || fail "update-mime-database: $out"
  ! grep -qiE 'error|warning|invalid|unknown' <<<"$out" || fail "update-mime-database: $out"
  if have gio libglib2.0-bin; then
    # A report without its extension, and one with another, by content alone.
    mkdir "$root/files"
    cp "$source/tests/data/reports/layout-124.qrp" "$root/files/report"
    cp "$source/tests/data/reports/layout-128-z.qrp" "$root/files/report.dat"
    cp "$source/tests/data/reports/sample.qrp" "$root/files/UPPER.QRP"
    for f in report report.dat UPPER.QRP; do
      type=$(XDG_DATA_HOME="$root/none" XDG_DATA_DIRS="$share:/usr/share" \
             gio info -a standard::content-type "$root/files/$f" | sed -n 's/^ *standard::content-type: //p')
      [ "$type" = application/x-qrpfile ] || fail "$f is seen as \"$type\""
    done
  fi
fi
if have bash bash && [ -r /usr/share/bash-completion/bash_completion ] || { skipped+=("bash completion (bash-completion)"); false; }; then
  words=$(PATH="$root/usr/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1/usr/share/bash-completion/completions/qrptool"
    complete_line() {
      COMP_LINE=$1 COMP_POINT=${#1}; read -ra COMP_WORDS <<<"$1"; COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMPREPLY=(); _qrptool; echo "${COMPREPLY[*]}"
    }
    complete_line "qrptool th"; complete_line "qrptool render --f"' _ "$root" 2>&1)
  [ "$words" = $'thumbnail\n--format' ] || fail "bash completion gives: $words"
fi

[ $failures -eq 0 ] || exit 1
if [ ${#skipped[@]} -gt 0 ]; then
  echo "SKIPPED: not installed: ${skipped[*]}"
  exit 77
fi
exit 0
