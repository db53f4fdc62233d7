#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package the Debian way (dpkg-buildpackage -us -uc -b)
# from a clean export of the committed tree (git archive HEAD), so that
# nothing uncommitted or built in the work tree can reach the package, and
# checks it with lintian. The build dependencies come from debian/control
# (mk-build-deps). The package and the files beside it go into dist/.
#
#   scripts/build-deb.sh          # DEB_BUILD_OPTIONS are passed through
#                                 # (nocheck: no tests; parallel=N)
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
need=(dpkg-buildpackage:dpkg-dev dh:debhelper lintian:lintian mk-build-deps:devscripts equivs-build:equivs git:git)
missing=()
for pair in "${need[@]}"; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "build-deb: installing ${missing[*]}" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "build-deb: the work tree has uncommitted changes; the package is built from HEAD without them" >&2

work=$(mktemp -d "${TMPDIR:-/tmp}/qrp-deb-XXXXXX")
# Run as root, the tests start some commands as nobody, who must reach the
# programs in the build tree.
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
git archive --format=tar --prefix=qrpview/ HEAD | tar -x -C "$work"
cd "$work/qrpview"

# Only what debian/control names (with the nocheck profile when asked).
profiles=
case " ${DEB_BUILD_OPTIONS:-} " in *" nocheck "*) profiles=nocheck ;; esac
if ! dpkg-checkbuilddeps ${profiles:+-P$profiles} >/dev/null 2>&1; then
  echo "build-deb: installing the build dependencies of debian/control" >&2
  (cd "$work" && mk-build-deps ${profiles:+--build-profiles=$profiles} \
     --install --remove ${SUDO:+--root-cmd=$SUDO} \
     --tool 'apt-get -y -qq --no-install-recommends -o Debug::pkgProblemResolver=yes' \
     "$work/qrpview/debian/control" >/dev/null)
fi

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
dpkg-buildpackage -us -uc -b ${profiles:+-P$profiles}
cd - >/dev/null
mkdir -p dist
for f in "$work"/qrpview_"${version}"_"${arch}".{deb,changes,buildinfo} "$work"/qrpview-dbgsym_"${version}"_"${arch}".deb; do
  if [ -e "$f" ]; then mv -f "$f" dist/; fi
done
lintian --fail-on error,warning "dist/qrpview_${version}_${arch}.changes"
echo "build-deb: dist/qrpview_${version}_${arch}.deb"
