#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Rebuilds the GDI-recorded test pages (tests/data/gdipages/*.emf) and their
# reference pictures: Wine's GDI plays each page 800 px wide, and 4000 px wide
# reduced to 800 px by averaging 5 x 5 blocks (the print-resolution table).
# Needs wine, gcc-mingw-w64-x86-64, python3-pil; the build itself does not.
# usage: scripts/gdi-pages.sh [PAGE...]        (no PAGE: all pages)
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
out="$repo/tests/data/gdipages"
work="${QRP_WINE_DIR:-$repo/build-wine}"
player="${QRP_EMFPLAY:-$repo/../shared/tools/emfplay.c}"
# Debian's wine64 alone puts its loader and server in /usr/lib/wine.
PATH="$PATH:/usr/lib/wine"
if command -v wine >/dev/null; then WINE=wine; else WINE=wine64; fi
for tool in "$WINE" wineserver x86_64-w64-mingw32-gcc; do
    command -v "$tool" >/dev/null || { echo "gdi-pages: $tool is missing (apt-get install wine64 gcc-mingw-w64-x86-64)" >&2; exit 1; }
done
[ -f "$player" ] || { echo "gdi-pages: no player source at $player (set QRP_EMFPLAY)" >&2; exit 1; }

mkdir -p "$work/prefix" "$work/bmp800" "$work/bmp4000" "$out/ref/wine-gdi-800" "$out/ref/wine-gdi-4000"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
x86_64-w64-mingw32-gcc -O2 -Wall -o "$work/record.exe" "$repo/tests/gdipages/record.c" -lgdi32 -lmsimg32
x86_64-w64-mingw32-gcc -O2 -o "$work/emfplay.exe" "$player" -lgdi32 -lgdiplus

# The faces Windows pages name, replaced by what fontconfig picks for them,
# as for the corpus references.
while IFS='=' read -r face family; do
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$family" /f >/dev/null 2>&1
done <<EOF
Arial=Liberation Sans
Arial Narrow=Liberation Sans Narrow
Times New Roman=Liberation Serif
Courier New=Liberation Mono
Lucida Console=Liberation Mono
Tahoma=DejaVu Sans
Verdana=DejaVu Sans
MS Sans Serif=DejaVu Sans
Microsoft Sans Serif=DejaVu Sans
Segoe UI=DejaVu Sans
Calibri=DejaVu Sans
EOF
wineserver -w

winpath() { echo "Z:$1" | tr / '\\'; }
(cd "$work" && "$WINE" record.exe "$(winpath "$out")" "$@")
pages=$(cd "$out" && if [ $# -gt 0 ]; then for p in "$@"; do echo "$p.emf"; done; else ls ./*.emf; fi)
(cd "$out" && "$WINE" "$work/emfplay.exe" gdi 800 "$(winpath "$work/bmp800")" $pages >/dev/null)
(cd "$out" && "$WINE" "$work/emfplay.exe" gdi 4000 "$(winpath "$work/bmp4000")" $pages >/dev/null)
wineserver -w

/usr/bin/python3 - "$work" "$out" $pages <<'EOF'
import os, sys
from PIL import Image
work, out, pages = sys.argv[1], sys.argv[2], sys.argv[3:]
for page in pages:
    name = os.path.splitext(os.path.basename(page))[0]
    Image.open(os.path.join(work, "bmp800", name + ".bmp")).convert("RGB").save(
        os.path.join(out, "ref", "wine-gdi-800", name + ".png"), optimize=True)
    big = Image.open(os.path.join(work, "bmp4000", name + ".bmp")).convert("RGB")
    small = big.reduce(5)
    small.save(os.path.join(out, "ref", "wine-gdi-4000", name + ".png"), optimize=True)
EOF
echo "gdi-pages: $(echo $pages | wc -w) pages in $out"
