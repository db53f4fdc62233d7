// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaystyles.h"

#include "platform/emf/emfrecords.h"

namespace {

// Rows top first, bit 0x80 the leftmost pixel.
const uint8_t HatchBits[6][8] = {
    {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

// The operation index is the truth table over (P, S, D): bit P*4 + S*2 + D
// is the result. An operand is used when flipping it changes the result.
bool UsesSource(uint32_t Index)
{
    return ((Index >> 2) & 0x33) != (Index & 0x33);
}

bool UsesPattern(uint32_t Index)
{
    return ((Index >> 4) & 0x0F) != (Index & 0x0F);
}

} // namespace

QImage EmfHatchTile(uint32_t Hatch, QColor Fore, QColor Back, bool Opaque)
{
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb fore = Fore.rgb(), back = Opaque ? Back.rgb() : 0;
    const uint8_t* bits = HatchBits[Hatch < 6 ? Hatch : 0];
    for (int y = 0; y < 8; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x)
            row[x] = (bits[y] & (0x80 >> x)) ? fore : back;
    }
    return tile;
}

std::vector<double> EmfCosmeticDashes(uint32_t PenStyle)
{
    switch (PenStyle & PS_STYLE_MASK) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    default: return {};
    }
}

TEmfRopEffect EmfRopEffect(uint32_t Rop)
{
    using CM = QPainter::CompositionMode;
    TEmfRopEffect e;
    auto source = [&](CM mode, bool invert = false) {
        e.Type = TEmfRopEffect::Source;
        e.Mode = mode;
        e.InvertSource = invert;
    };
    auto pattern = [&](CM mode) {
        e.Type = TEmfRopEffect::Pattern;
        e.Mode = mode;
    };
    auto fill = [&](CM mode, QColor c) {
        e.Type = TEmfRopEffect::Fill;
        e.Mode = mode;
        e.Color = c;
    };
    const uint32_t index = (Rop >> 16) & 0xFF;
    switch (Rop) {
    case SRCCOPY: source(CM::CompositionMode_SourceOver); break;
    case NOTSRCCOPY: source(CM::CompositionMode_SourceOver, true); break;
    case SRCPAINT: source(CM::RasterOp_SourceOrDestination); break;
    case SRCAND: source(CM::RasterOp_SourceAndDestination); break;
    case SRCINVERT: source(CM::RasterOp_SourceXorDestination); break;
    case SRCERASE: source(CM::RasterOp_SourceAndNotDestination); break;
    case NOTSRCERASE: source(CM::RasterOp_NotSourceAndNotDestination); break;
    case MERGEPAINT: source(CM::RasterOp_NotSourceOrDestination); break;
    case 0x00220326: source(CM::RasterOp_NotSourceAndDestination); break; // DSna
    case MERGECOPY: source(CM::CompositionMode_SourceOver); break;
    case PATCOPY: pattern(CM::CompositionMode_SourceOver); break;
    case PATPAINT: pattern(CM::RasterOp_SourceOrDestination); break;
    case PATINVERT: pattern(CM::RasterOp_SourceXorDestination); break;
    case 0x00A000C9: pattern(CM::RasterOp_SourceAndDestination); break; // DPa
    case DSTINVERT: fill(CM::RasterOp_NotDestination, Qt::black); break;
    case BLACKNESS: fill(CM::CompositionMode_SourceOver, Qt::black); break;
    case WHITENESS: fill(CM::CompositionMode_SourceOver, Qt::white); break;
    case 0x00AA0029: e.Type = TEmfRopEffect::Destination; break; // D
    default:
        if (UsesSource(index))
            source(CM::CompositionMode_SourceOver);
        else
            pattern(CM::CompositionMode_SourceOver);
    }
    e.Ternary = e.Type != TEmfRopEffect::Destination && UsesSource(index) && UsesPattern(index);
    return e;
}

TEmfRop2Effect EmfRop2Effect(uint32_t Rop2)
{
    using CM = QPainter::CompositionMode;
    TEmfRop2Effect e;
    switch (Rop2) {
    case R2_BLACK:
        e.ForceColor = true;
        e.Color = Qt::black;
        break;
    case R2_WHITE:
        e.ForceColor = true;
        e.Color = Qt::white;
        break;
    case R2_NOP: e.Skip = true; break;
    case R2_NOT: e.Mode = CM::RasterOp_NotDestination; break;
    case R2_XORPEN: e.Mode = CM::RasterOp_SourceXorDestination; break;
    case R2_NOTXORPEN: e.Mode = CM::RasterOp_NotSourceXorDestination; break;
    case R2_MASKPEN: e.Mode = CM::RasterOp_SourceAndDestination; break;
    case R2_MERGEPEN: e.Mode = CM::RasterOp_SourceOrDestination; break;
    case R2_NOTCOPYPEN: e.InvertPen = true; break;
    case R2_MASKNOTPEN: e.Mode = CM::RasterOp_NotSourceAndDestination; break;
    case R2_MERGENOTPEN: e.Mode = CM::RasterOp_NotSourceOrDestination; break;
    case R2_MASKPENNOT: e.Mode = CM::RasterOp_SourceAndNotDestination; break;
    case R2_NOTMASKPEN: e.Mode = CM::RasterOp_NotSourceOrNotDestination; break;
    case R2_NOTMERGEPEN: e.Mode = CM::RasterOp_NotSourceAndNotDestination; break;
    default: break;
    }
    return e;
}

int EmfCodePageForCharset(uint32_t Charset)
{
    switch (Charset) {
    case 77: return 10000; // MAC_CHARSET
    case 128: return 932;  // SHIFTJIS
    case 129: return 949;  // HANGUL
    case 130: return 1361; // JOHAB
    case 134: return 936;  // GB2312
    case 136: return 950;  // CHINESEBIG5
    case 161: return 1253; // GREEK
    case 162: return 1254; // TURKISH
    case 163: return 1258; // VIETNAMESE
    case 177: return 1255; // HEBREW
    case 178: return 1256; // ARABIC
    case 186: return 1257; // BALTIC
    case 204: return 1251; // RUSSIAN
    case 222: return 874;  // THAI
    case 238: return 1250; // EASTEUROPE
    case 255: return 437;  // OEM
    default: return 1252;  // ANSI, DEFAULT, SYMBOL and the unknown
    }
}
