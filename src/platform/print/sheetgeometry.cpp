// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/sheetgeometry.h"

#include <QPageSize>

#include <algorithm>
#include <cmath>
#include <utility>

bool PaperCodeSizeMm(int Code, QSizeF& Mm)
{
    // Codes Qt does not map, with the sizes Windows gives them.
    switch (Code) {
    case 14: Mm = QSizeF(215.9, 330.2); return true; // Folio
    case 48:
    case 49: return false; // reserved
    default: break;
    }
    if (Code <= 0 || Code == DMPAPER_USER)
        return false;
    QPageSize::PageSizeId id = QPageSize::id(Code);
    if (id == QPageSize::Custom)
        return false;
    Mm = QPageSize::size(id, QPageSize::Millimeter);
    return true;
}

QSizeF DevModeSheetMm(const DEVMODEW& Mode, const QSizeF& Fallback)
{
    const uint32_t explicitSize = DM_PAPERWIDTH | DM_PAPERLENGTH;
    if ((Mode.dmFields & explicitSize) == explicitSize && Mode.dmPaperWidth > 0 && Mode.dmPaperLength > 0)
        return QSizeF(Mode.dmPaperWidth / 10.0, Mode.dmPaperLength / 10.0);
    QSizeF mm;
    if ((Mode.dmFields & DM_PAPERSIZE) && PaperCodeSizeMm(Mode.dmPaperSize, mm))
        return mm;
    return Fallback;
}

bool DevModeLandscape(const DEVMODEW& Mode)
{
    return (Mode.dmFields & DM_ORIENTATION) && Mode.dmOrientation == DMORIENT_LANDSCAPE;
}

int MmToDots(double Mm, int Dpi)
{
    double dots = std::nearbyint(Mm * Dpi / 25.4);
    return dots > 0 && dots < 1e9 ? static_cast<int>(dots) : 0;
}

TSheetGeometry MakeSheetGeometry(const QSizeF& SheetMm, bool Landscape, int DpiX, int DpiY, int OffsetX, int OffsetY)
{
    TSheetGeometry g;
    g.DpiX = DpiX;
    g.DpiY = DpiY;
    QSizeF mm = Landscape ? SheetMm.transposed() : SheetMm;
    if (Landscape)
        std::swap(OffsetX, OffsetY);
    g.Width = MmToDots(mm.width(), DpiX);
    g.Height = MmToDots(mm.height(), DpiY);
    // Margins that leave no printable area are a broken description, not a
    // reason for negative page sizes.
    g.OffsetX = std::clamp(OffsetX, 0, std::max(0, (g.Width - 1) / 2));
    g.OffsetY = std::clamp(OffsetY, 0, std::max(0, (g.Height - 1) / 2));
    g.PageWidth = g.Width - 2 * g.OffsetX;
    g.PageHeight = g.Height - 2 * g.OffsetY;
    return g;
}
