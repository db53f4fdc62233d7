#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs print the build's one version with the licence notice, their
# help names the licence, and debian/changelog carries the same version.
#   check_version.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$1 source=$2 version=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

for program in qrptool qrpview; do
  exe=$(find "$build/src" -name "$program" -type f -perm -u+x -print -quit)
  [ -n "$exe" ] || { fail "$program is not built"; continue; }
  out=$("$exe" --version) || fail "$program --version exits with $?"
  first=$(head -n1 <<<"$out")
  [ "$first" = "$program $version" ] || fail "$program --version says \"$first\", not \"$program $version\""
  grep -q '^Copyright (C) .* The qrpview authors\.$' <<<"$out" || fail "$program --version lacks the copyright line"
  grep -q 'GPLv3+: GNU GPL version 3 or later' <<<"$out" || fail "$program --version lacks the licence"
  "$exe" --help | grep -q 'GNU General Public License, version 3 or' || fail "$program --help lacks the licence"
done

# The first line of debian/changelog: "qrpview (VERSION) DIST; urgency=...".
if [ -r "$source/debian/changelog" ]; then
  changelog=$(sed -n '1s/^qrpview (\([^)]*\)).*/\1/p' "$source/debian/changelog")
  [ "$changelog" = "$version" ] ||
    fail "debian/changelog is at \"$changelog\", the project at \"$version\" (CMakeLists.txt project())"
fi
[ $failures -eq 0 ] || exit 1
echo "qrptool and qrpview $version, GPL-3.0-or-later"
