#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build, the tests and the viewer need,
# only when some are missing. Uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libgl-dev libsqlite3-dev zlib1g-dev
  libpq-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-liberation2 fonts-dejavu-core fonts-wqy-microhei
  xvfb xauth
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  python3 python3-numpy python3-pil
  clang libclang-rt-14-dev
  shared-mime-info desktop-file-utils appstream libglib2.0-bin bash-completion
  librsvg2-bin help2man
  tumbler dbus
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "install-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
