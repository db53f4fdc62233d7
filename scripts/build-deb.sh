#!/bin/bash
# Builds the Debian package the Debian way (dpkg-buildpackage -us -uc -b)
# and checks it with lintian. The package and the files dpkg-buildpackage
# writes beside the source tree are moved into dist/; debian/ is cleaned
# afterwards, so nothing of the build stays in the tree.
#
#   scripts/build-deb.sh          # DEB_BUILD_OPTIONS are passed through
set -euo pipefail
cd "$(dirname "$0")/.."

need=(dpkg-buildpackage:dpkg-dev dh:debhelper lintian:lintian rsvg-convert:librsvg2-bin help2man:help2man)
missing=()
for pair in "${need[@]}"; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "build-deb: installing ${missing[*]}" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
./scripts/install-deps.sh

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
dpkg-buildpackage -us -uc -b
mkdir -p dist
for f in ../qrpview_"${version}"_"${arch}".{deb,changes,buildinfo} ../qrpview-dbgsym_"${version}"_"${arch}".deb; do
  [ -e "$f" ] && mv -f "$f" dist/
done
dh_clean
lintian --fail-on error "dist/qrpview_${version}_${arch}.changes"
echo "build-deb: dist/qrpview_${version}_${arch}.deb"
