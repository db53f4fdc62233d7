#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fidelity table of the EMF player against the corpus references.
# usage: scripts/fidelity.sh [CORPUS] [--keep DIR] [--worst N] [--print-resolution] [--gdi-only]
# Pages are drawn with --gdi (text in GDI's pixels, as the references hold
# it); a line after each table gives the default mode's figures.
# No CORPUS: the shared corpus, then the GDI-recorded pages in tests/data/gdipages.
# QRPTOOL selects the qrptool binary (default: the first build folder's).
exec /usr/bin/python3 "$(dirname "$0")/fidelity.py" "$@"
