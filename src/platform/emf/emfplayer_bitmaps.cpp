// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/dib.h"
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emfrecords.h"
#include "platform/littleendian.h"

#include <QLinearGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// A monochrome bitmap blitted onto a colour surface takes the text colour
// for its black pixels and the background colour for its white ones.
void ColourMono(QImage& Image, const TDibInfo& Info, QColor Text, QColor Back)
{
    if (Info.BitCount != 1 || Image.format() != QImage::Format_Mono || Image.colorCount() < 2)
        return;
    const bool blackWhite = (Image.color(0) & 0xFFFFFF) == 0 && (Image.color(1) & 0xFFFFFF) == 0xFFFFFF;
    if (!blackWhite)
        return;
    Image.setColor(0, Text.rgb());
    Image.setColor(1, Back.rgb());
}


TDibSource DibInRecord(const TEmfRecord& R, uint32_t OffBmi, uint32_t CbBmi, uint32_t OffBits, uint32_t CbBits,
                       const TDibOptions& Options)
{
    TDibSource d;
    d.Options = Options;
    const uint8_t* info = R.Ptr(OffBmi, CbBmi);
    const uint8_t* bits = R.Ptr(OffBits, CbBits);
    if (CbBmi && CbBits && info && bits) {
        d.Info = info;
        d.InfoSize = CbBmi;
        d.Bits = bits;
        d.BitsSize = CbBits;
    }
    return d;
}

bool ReadInfo(const TDibSource& D, TDibInfo& Info)
{
    return D.Info && D.Bits && ReadDibInfo(D.Info, D.InfoSize, Info, D.Options.Usage);
}

QImage Decode(const TDibSource& D, TDibInfo* Out = nullptr)
{
    return DecodeDib(D.Info, D.InfoSize, D.Bits, D.BitsSize, D.Options, Out);
}

QImage DecodeSampled(const TDibSource& D, const TDibSampling& S)
{
    return DecodeDibSampled(D.Info, D.InfoSize, D.Bits, D.BitsSize, S, D.Options);
}

// Above the direct limit a bitmap is decoded only where it shows. Embedded
// JPEG and PNG images bound themselves (see DecodeDib).
bool Large(const TDibInfo& I)
{
    return int64_t(I.Width) * I.Height > DibDirectPixels() && I.Compression != BI_JPEG && I.Compression != BI_PNG;
}

// A sampled image is drawn in bands of at most this many pixels (16 MB as
// ARGB), so a bitmap over a whole page at printer resolution stays bounded.
constexpr int64_t DibBandPixels = int64_t(1) << 22;

// AlphaBlend reads the fourth byte of 32-bit pixels as alpha even when the
// header describes them with three colour masks only, as Office writes them.
std::vector<uint8_t> AlphaHeader(const uint8_t* Info, size_t Size)
{
    std::vector<uint8_t> header(Info, Info + Size);
    const TEmfRecord h(header.data(), header.size());
    const bool standardMasks = Size >= 52 && h.U32(40) == 0xFF0000 && h.U32(44) == 0xFF00 && h.U32(48) == 0xFF;
    if (h.U16(14) == 32 && h.U32(16) == BI_BITFIELDS && (standardMasks || Size < 52))
        header[16] = BI_RGB;
    return header;
}

// Source with the pixels where Mask holds 0 made transparent; mask pixel
// (x - Dx, y - Dy) belongs to source pixel (x, y).
QImage MaskedSource(const QImage& Source, const QImage& Mask, int64_t Dx, int64_t Dy)
{
    QImage image = Source.convertToFormat(QImage::Format_ARGB32);
    const QImage mask = Mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int64_t my = y - Dy;
        for (int x = 0; x < image.width(); ++x) {
            const int64_t mx = x - Dx;
            const bool set = mx >= 0 && my >= 0 && mx < mask.width() && my < mask.height() &&
                             (mask.pixel(int(mx), int(my)) & 0xFFFFFF);
            if (!set)
                row[x] = 0;
        }
    }
    return image;
}

// The source columns (or rows) Qt's raster engine shows on Count device
// pixels from First on, of a destination Span pixels wide that shows the
// source from From, Size pixels long, of a bitmap Limit pixels long: its
// 16.16 fixed-point stepping, so that a sampled bitmap drawn pixel for
// pixel looks as the whole one drawn scaled. Mirrored: the source runs
// backwards. Pixels off the bitmap get -1.
std::vector<int32_t> DeviceSamples(int64_t First, int64_t Count, int64_t Span, double From, double Size, int32_t Limit,
                                   bool Mirrored)
{
    if (Mirrored) // Blit mirrors the image and moves the source with it
        From = Limit - (From + Size);
    const double step = Size / double(Span);
    const int64_t ix = int64_t(65536 * step);
    // Clamped before the conversion: the page may give any scale; far
    // beyond the bitmap either way.
    const double offset = std::clamp(std::ceil((First + 0.5) * step * 65536), -1e18, 1e18);
    int64_t at = int64_t(From * 65536) + int64_t(offset) - 1;
    const int64_t end = int64_t(Limit) << 16;
    std::vector<int32_t> out(size_t(Count), -1);
    for (int64_t i = 0; i < Count && at < end; ++i, at += ix) {
        if (at < 0)
            continue;
        const int32_t c = int32_t(at >> 16);
        out[size_t(i)] = Mirrored ? Limit - 1 - c : c;
    }
    return out;
}

// The part [First, Last) of Samples that lies on the bitmap; samples run
// monotonically, so it is one piece.
std::pair<size_t, size_t> OnBitmap(const std::vector<int32_t>& Samples)
{
    size_t first = 0, last = Samples.size();
    while (first < last && Samples[first] < 0)
        ++first;
    while (last > first && Samples[last - 1] < 0)
        --last;
    return {first, last};
}

// A triangle whose colour runs linearly between its corners' colours, as
// an image placed at its offset; pixels outside the triangle are clear.
QImage ShadedTriangle(const std::array<QPointF, 3>& P, const std::array<QColor, 3>& C, const QRect& Bounds)
{
    // Cut to the device in double first: corners from a page may lie far
    // outside the int range.
    const QRectF box = QPolygonF({P[0], P[1], P[2]}).boundingRect() & QRectF(Bounds);
    if (box.isEmpty())
        return QImage();
    const QRect area = QRect(QPoint(int(std::floor(box.left())), int(std::floor(box.top()))),
                             QPoint(int(std::ceil(box.right())), int(std::ceil(box.bottom())))) &
                       Bounds;
    const double det = (P[1].y() - P[2].y()) * (P[0].x() - P[2].x()) + (P[2].x() - P[1].x()) * (P[0].y() - P[2].y());
    if (area.isEmpty() || !std::isfinite(det) || std::fabs(det) < 1e-9)
        return QImage();
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(0);
    image.setOffset(area.topLeft());
    constexpr double slack = -1e-6;
    for (int y = 0; y < area.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double py = area.top() + y + 0.5;
        for (int x = 0; x < area.width(); ++x) {
            const double px = area.left() + x + 0.5;
            const double a = ((P[1].y() - P[2].y()) * (px - P[2].x()) + (P[2].x() - P[1].x()) * (py - P[2].y())) / det;
            const double b = ((P[2].y() - P[0].y()) * (px - P[2].x()) + (P[0].x() - P[2].x()) * (py - P[2].y())) / det;
            const double c = 1.0 - a - b;
            if (a < slack || b < slack || c < slack)
                continue;
            auto mix = [&](int C0, int C1, int C2) { return std::clamp(int(a * C0 + b * C1 + c * C2), 0, 255); };
            row[x] = qRgb(mix(C[0].red(), C[1].red(), C[2].red()), mix(C[0].green(), C[1].green(), C[2].green()),
                          mix(C[0].blue(), C[1].blue(), C[2].blue()));
        }
    }
    return image;
}

// The whole raster operation code of a ternary operation index (the byte a
// four-operand code keeps for its background operation).
uint32_t RopFromIndex(uint32_t Index)
{
    static const uint32_t known[] = {SRCCOPY,     SRCPAINT,  SRCAND,     SRCINVERT, SRCERASE, NOTSRCCOPY,
                                     NOTSRCERASE, MERGECOPY, MERGEPAINT, PATCOPY,   PATPAINT, PATINVERT,
                                     DSTINVERT,   BLACKNESS, WHITENESS,  0x00AA0029};
    for (uint32_t code : known)
        if (((code >> 16) & 0xFF) == (Index & 0xFF))
            return code;
    return (Index & 0xFF) << 16;
}

} // namespace

void TEmfPlayer::BitmapRecord(const TEmfRecord& R)
{
    const uint32_t type = R.Type();
    TDibOptions options;
    if (type == EMR_PLGBLT) {
        PlgBlt(R);
        return;
    }
    if (type == EMR_SETDIBITSTODEVICE) {
        SetDibitsToDevice(R);
        return;
    }
    if (type == EMR_STRETCHDIBITS) {
        if (!R.Has(0, 80))
            return;
        const double x = R.I32(24), y = R.I32(28);
        const int xSrc = R.I32(32), ySrc = R.I32(36), cxSrc = R.I32(40), cySrc = R.I32(44);
        options.Usage = R.U32(64);
        const TDibSource dib = DibInRecord(R, R.U32(48), R.U32(52), R.U32(56), R.U32(60), options);
        TDibInfo info;
        if (!ReadInfo(dib, info))
            return;
        // Source y counts from the bottom row of a bottom-up DIB (an embedded
        // image's own height); in double: the offsets come from the file and
        // may pass the int range.
        double height = info.Height;
        if (info.Compression == BI_JPEG || info.Compression == BI_PNG) {
            const QImage image = Decode(dib);
            if (image.isNull())
                return;
            height = image.height();
        }
        const double top = info.TopDown ? ySrc : height - ySrc - cySrc;
        BlitDib(x, y, R.I32(72), R.I32(76), dib, QRectF(xSrc, top, cxSrc, cySrc), R.U32(68));
        return;
    }
    // BITBLT, STRETCHBLT, MASKBLT, ALPHABLEND, TRANSPARENTBLT share their head.
    if (!R.Has(8, 92))
        return;
    const double x = R.I32(24), y = R.I32(28), cx = R.I32(32), cy = R.I32(36);
    const uint32_t rop = R.U32(40);
    const int xSrc = R.I32(44), ySrc = R.I32(48);
    const uint32_t cbBmi = R.U32(88);
    options.Usage = R.U32(80);
    if (cbBmi == 0) {
        if (type == EMR_BITBLT || type == EMR_STRETCHBLT)
            FillDeviceArea(FXform.map(QPolygonF(QRectF(x, y, cx, cy))), rop & 0xFFFFFF);
        return;
    }
    const bool stretched = type != EMR_BITBLT && type != EMR_MASKBLT;
    if (stretched && !R.Has(100, 8))
        return;
    const double cxSrc = stretched ? R.I32(100) : cx, cySrc = stretched ? R.I32(104) : cy;
    const QRectF source(xSrc, ySrc, cxSrc, cySrc);
    if (type == EMR_ALPHABLEND)
        options.UseAlpha = R.U8(43) & 1; // AC_SRC_ALPHA
    TDibSource dib = DibInRecord(R, R.U32(84), cbBmi, R.U32(92), R.U32(96), options);
    std::vector<uint8_t> alphaHeader;
    if (options.UseAlpha) {
        if (dib.InfoSize < 40)
            return;
        alphaHeader = AlphaHeader(dib.Info, dib.InfoSize);
        dib.Info = alphaHeader.data();
    }
    TDibInfo info;
    if (!ReadInfo(dib, info))
        return;
    // A four-operand code in a plain blit: only its foreground part counts.
    const uint32_t drawRop = rop & 0xFFFFFF;
    if (type == EMR_BITBLT || type == EMR_STRETCHBLT) {
        BlitDib(x, y, cx, cy, dib, source, drawRop, [this](QImage& Image, const TDibInfo& Info) {
            ColourMono(Image, Info, FState.TextColor, FState.BkColor);
        });
    } else if (type == EMR_TRANSPARENTBLT) {
        const QRgb key = EmfColor(rop).rgb() & 0xFFFFFF;
        BlitDib(x, y, cx, cy, dib, source, SRCCOPY, [key](QImage& Image, const TDibInfo&) {
            Image = Image.convertToFormat(QImage::Format_ARGB32);
            for (int yy = 0; yy < Image.height(); ++yy) {
                QRgb* row = reinterpret_cast<QRgb*>(Image.scanLine(yy));
                for (int xx = 0; xx < Image.width(); ++xx)
                    if ((row[xx] & 0xFFFFFF) == key)
                        row[xx] = 0;
            }
        });
    } else if (type == EMR_MASKBLT) {
        MaskBlt(R, x, y, cx, cy, dib, source);
    } else if (type == EMR_ALPHABLEND) {
        const int constant = R.U8(42);
        FPainter.setOpacity(constant / 255.0);
        BlitDib(x, y, cx, cy, dib, source, SRCCOPY);
        FPainter.setOpacity(1.0);
    } else {
        BlitDib(x, y, cx, cy, dib, source, drawRop);
    }
}

void TEmfPlayer::SetDibitsToDevice(const TEmfRecord& R)
{
    if (!R.Has(8, 68))
        return;
    const int xSrc = R.I32(32), ySrc = R.I32(36), cxSrc = R.I32(40), cySrc = R.I32(44);
    const uint32_t offBmi = R.U32(48), cbBmi = R.U32(52);
    const int startScan = R.I32(68), scans = R.I32(72);
    const uint8_t* info = R.Ptr(offBmi, cbBmi);
    if (!info || cbBmi < 40 || cxSrc <= 0 || cySrc <= 0 || scans <= 0 || startScan < 0)
        return;
    // The bits hold only the scans StartScan .. StartScan + Scans - 1: a
    // header as tall as those decodes them.
    std::vector<uint8_t> header(info, info + cbBmi);
    const TEmfRecord h(header.data(), header.size());
    const int32_t height = int32_t(h.U32(8));
    const bool topDown = height < 0;
    const uint32_t partial = uint32_t(topDown ? -scans : scans);
    PutLE32(header.data() + 8, partial);
    TDibSource dib;
    dib.Info = header.data();
    dib.InfoSize = header.size();
    dib.Bits = R.Ptr(R.U32(56), R.U32(60));
    dib.BitsSize = R.U32(60);
    dib.Options.Usage = R.U32(64);
    TDibInfo decoded;
    if (!ReadInfo(dib, decoded))
        return;
    const bool large = Large(decoded);
    QImage image = large ? QImage() : Decode(dib);
    if (!large && image.isNull())
        return;
    const int64_t bitmapWidth = large ? decoded.Width : image.width();
    const int64_t bitmapHeight = large ? decoded.Height : image.height();
    // Source rectangle in the decoded rows; a bottom-up source counts y
    // from the bottom of the whole bitmap.
    const int64_t top = topDown ? int64_t(ySrc) - startScan : int64_t(startScan) + scans - ySrc - cySrc;
    if (top > bitmapHeight || top + cySrc < 0 || xSrc > bitmapWidth)
        return;
    // The source cut to the image in 64 bits: offset and size may each be
    // any int the page gives.
    const int64_t left = std::max<int64_t>(xSrc, 0), right = std::min<int64_t>(int64_t(xSrc) + cxSrc, bitmapWidth);
    const int64_t upper = std::max<int64_t>(top, 0), lower = std::min<int64_t>(top + cySrc, bitmapHeight);
    if (left >= right || upper >= lower)
        return;
    const QRect source(int(left), int(upper), int(right - left), int(lower - upper));
    // Drawn pixel for pixel at the mapped destination point, however the
    // page is scaled, as GDI does.
    const int64_t far = int64_t(1) << 28; // beyond any device, and no int sum overflows
    const QPoint at = Dev(R.I32(24), R.I32(28)) +
                      QPoint(int(std::min(left - xSrc, far)), int(std::min(upper - top, far)));
    BeginDraw();
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!large) {
        FPainter.drawImage(at, image, source);
        return;
    }
    // One source pixel per device pixel: only the visible ones, in bands.
    const QRect shown = VisibleDeviceRect(QRect(at, source.size()));
    if (shown.isEmpty())
        return;
    TDibSampling band;
    for (int x = shown.left(); x <= shown.right(); ++x)
        band.Columns.push_back(source.left() + (x - at.x()));
    const int rows = int(std::max<int64_t>(1, DibBandPixels / shown.width()));
    for (int first = shown.top(); first <= shown.bottom(); first += rows) {
        band.Rows.clear();
        for (int y = first; y <= std::min(shown.bottom(), first + rows - 1); ++y)
            band.Rows.push_back(source.top() + (y - at.y()));
        const QImage part = DecodeSampled(dib, band);
        if (part.isNull())
            return;
        FPainter.drawImage(QPoint(shown.left(), first), part);
    }
}

void TEmfPlayer::MaskBlt(const TEmfRecord& R, double X, double Y, double W, double H, const TDibSource& Dib,
                         const QRectF& Source)
{
    // Where the mask holds 1 the foreground operation (the low three bytes)
    // applies, where it holds 0 the background one (the high byte).
    const uint32_t rop = R.U32(40);
    const uint32_t foreground = rop & 0xFFFFFF, background = RopFromIndex(rop >> 24);
    const TDibSource maskDib = R.Has(100, 28)
                                 ? DibInRecord(R, R.U32(112), R.U32(116), R.U32(120), R.U32(124), TDibOptions())
                                 : TDibSource();
    TDibInfo maskInfo;
    // Regions are int inside Qt: far outside any device, draw it unmasked.
    const QRectF reach(-1e8, -1e8, 2e8, 2e8);
    if (!ReadInfo(maskDib, maskInfo) || !AxisAligned() || !reach.contains(FXform.mapRect(QRectF(X, Y, W, H)))) {
        BlitDib(X, Y, W, H, Dib, Source, foreground);
        return;
    }
    // Only the rows and columns that meet the mask matter; the destination's
    // size and the mask's offset come from the page and may be anything.
    const int64_t xMask = R.I32(100), yMask = R.I32(104);
    int64_t y0 = std::max<int64_t>(0, -yMask), y1 = std::min<int64_t>(int64_t(H), maskInfo.Height - yMask);
    int64_t x0 = std::max<int64_t>(0, -xMask), x1 = std::min<int64_t>(int64_t(W), maskInfo.Width - xMask);
    // A large mask is read only over the visible destination, and at most
    // one mask pixel per device pixel: each cell then covers Step units.
    int64_t stepX = 1, stepY = 1;
    TDibSampling sampling;
    QImage mask;
    if (Large(maskInfo)) {
        const QRect shown = VisibleDeviceRect(DevRect(X, Y, X + W, Y + H));
        bool invertible = false;
        const QTransform back = FXform.inverted(&invertible);
        if (shown.isEmpty() || !invertible)
            return;
        const QRectF logical = back.mapRect(QRectF(shown).adjusted(-1, -1, 1, 1)).translated(-X, -Y);
        // Clamped before the conversion: logical units may be any double.
        x0 = std::max<int64_t>(x0, int64_t(std::floor(std::max(logical.left(), -1e12))));
        x1 = std::min<int64_t>(x1, int64_t(std::ceil(std::min(logical.right(), 1e12))));
        y0 = std::max<int64_t>(y0, int64_t(std::floor(std::max(logical.top(), -1e12))));
        y1 = std::min<int64_t>(y1, int64_t(std::ceil(std::min(logical.bottom(), 1e12))));
        stepX = std::max<int64_t>(1, (x1 - x0) / std::max(1, shown.width()));
        stepY = std::max<int64_t>(1, (y1 - y0) / std::max(1, shown.height()));
        for (int64_t x = x0; x < x1; x += stepX)
            sampling.Columns.push_back(int32_t(xMask + x));
        for (int64_t y = y0; y < y1; y += stepY)
            sampling.Rows.push_back(int32_t(yMask + y));
        // No mask pixel on the visible part: all of it is background.
        if (!sampling.Columns.empty() && !sampling.Rows.empty())
            mask = DecodeSampled(maskDib, sampling).convertToFormat(QImage::Format_RGB32);
    } else {
        mask = Decode(maskDib).convertToFormat(QImage::Format_RGB32);
    }
    const bool sampled = Large(maskInfo);
    if (mask.isNull() && !(sampled && (sampling.Columns.empty() || sampling.Rows.empty()))) {
        BlitDib(X, Y, W, H, Dib, Source, foreground);
        return;
    }
    // The set mask bits as a region, in cells of the mask read.
    auto isSet = [&](int64_t x, int64_t y) {
        return sampled ? mask.pixel(int((x - x0) / stepX), int((y - y0) / stepY)) & 0xFFFFFF
                       : mask.pixel(int(xMask + x), int(yMask + y)) & 0xFFFFFF;
    };
    QVector<QRect> spans;
    for (int64_t y = y0; y < y1; y += stepY) {
        for (int64_t x = x0; x < x1;) {
            if (!isSet(x, y)) {
                x += stepX;
                continue;
            }
            const int64_t from = x;
            while (x < x1 && isSet(x, y))
                x += stepX;
            spans.append(QRect(int(from), int(y), int(std::min(x, x1) - from), int(std::min(stepY, y1 - y))));
        }
    }
    QRegion set;
    set.setRects(spans.constData(), int(spans.size()));
    const QTransform toDevice = QTransform::fromTranslate(X, Y) * FXform;
    const QRegion foreArea = toDevice.map(set);
    const QRegion backArea = QRegion(DevRect(X, Y, X + W, Y + H)) - foreArea;
    BeginDraw();
    for (const auto& [area, part] : {std::pair{foreArea, foreground}, std::pair{backArea, background}}) {
        if (area.isEmpty())
            continue;
        FPainter.save();
        FPainter.setClipRegion(area, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        BlitDib(X, Y, W, H, Dib, Source, part);
        FPainter.restore();
    }
}

void TEmfPlayer::PlgBlt(const TEmfRecord& R)
{
    if (!R.Has(8, 132))
        return;
    const double xSrc = R.I32(48), ySrc = R.I32(52), cxSrc = R.I32(56), cySrc = R.I32(60);
    if (cxSrc <= 0 || cySrc <= 0)
        return;
    TDibOptions options;
    options.Usage = R.U32(92);
    const TDibSource dib = DibInRecord(R, R.U32(96), R.U32(100), R.U32(104), R.U32(108), options);
    TDibInfo info;
    if (!ReadInfo(dib, info))
        return;
    // The source's top-left, top-right and bottom-left corners land on the
    // three points, in logical units.
    const QPointF p0(R.I32(24), R.I32(28)), p1(R.I32(32), R.I32(36)), p2(R.I32(40), R.I32(44));
    const QPointF ex = (p1 - p0) / cxSrc, ey = (p2 - p0) / cySrc;
    const QTransform toLogical(ex.x(), ex.y(), ey.x(), ey.y(), p0.x() - ex.x() * xSrc - ey.x() * ySrc,
                               p0.y() - ex.y() * xSrc - ey.y() * ySrc);
    // The source pixels taken, whole or sampled where they show.
    TDibSampling sampling;
    QRectF taken(xSrc, ySrc, cxSrc, cySrc);
    QImage image;
    if (!Large(info)) {
        image = Decode(dib);
        for (int32_t x = 0; x < image.width(); ++x)
            sampling.Columns.push_back(x);
        for (int32_t y = 0; y < image.height(); ++y)
            sampling.Rows.push_back(y);
    } else if (SampleAt(toLogical * FXform, taken, info, sampling, taken)) {
        image = DecodeSampled(dib, sampling);
    }
    if (image.isNull())
        return;
    const QRectF from = Large(info) ? QRectF(image.rect()) : taken;
    // Where the mask holds 0 the page stays as it is; mask pixel (x - Dx,
    // y - Dy) belongs to source pixel (x, y).
    const TDibSource maskDib = DibInRecord(R, R.U32(124), R.U32(128), R.U32(132), R.U32(136), TDibOptions());
    TDibInfo maskInfo;
    if (ReadInfo(maskDib, maskInfo)) {
        const int64_t dx = int64_t(xSrc) - R.I32(112), dy = int64_t(ySrc) - R.I32(116);
        for (int32_t& x : sampling.Columns)
            x = int32_t(std::clamp<int64_t>(x - dx, -1, maskInfo.Width));
        for (int32_t& y : sampling.Rows)
            y = int32_t(std::clamp<int64_t>(y - dy, -1, maskInfo.Height));
        const QImage mask = DecodeSampled(maskDib, sampling);
        if (!mask.isNull())
            image = MaskedSource(image, mask, 0, 0);
    }
    BeginDraw();
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter.setWorldTransform(toLogical * FXform * FBase);
    FPainter.drawImage(taken, image, from);
    FPainter.setWorldTransform(FBase);
}

QRect TEmfPlayer::VisibleDeviceRect(const QRect& Area) const
{
    QRect shown = Area & DeviceBounds().boundingRect();
    if (FState.HasClip)
        shown &= FState.Clip.boundingRect();
    if (FCallerHasClip)
        shown &= FCallerClip.boundingRect();
    return shown;
}

bool TEmfPlayer::SampleAt(const QTransform& SourceToDevice, const QRectF& Source, const TDibInfo& Info,
                          TDibSampling& Out, QRectF& Taken) const
{
    // The source pixels whose place is on the visible device, each axis
    // sampled at most as finely as the device shows it.
    bool invertible = false;
    const QTransform back = SourceToDevice.inverted(&invertible);
    const QPolygonF placed = SourceToDevice.map(QPolygonF(Source));
    const QRectF reach(-(1 << 28), -(1 << 28), 1 << 29, 1 << 29); // keeps the int rectangle below in range
    const QRect shown = VisibleDeviceRect((placed.boundingRect() & reach).toAlignedRect());
    if (!invertible || shown.isEmpty())
        return false;
    const QRectF wanted = back.map(QPolygonF(QRectF(shown).adjusted(-1, -1, 1, 1))).boundingRect() &
                          Source.normalized() & QRectF(0, 0, Info.Width, Info.Height);
    if (wanted.isEmpty() || !std::isfinite(wanted.left() + wanted.right() + wanted.top() + wanted.bottom()))
        return false;
    const int64_t x0 = int64_t(std::floor(wanted.left())), x1 = int64_t(std::ceil(wanted.right()));
    const int64_t y0 = int64_t(std::floor(wanted.top())), y1 = int64_t(std::ceil(wanted.bottom()));
    const double kx = std::hypot(SourceToDevice.m11(), SourceToDevice.m12());
    const double ky = std::hypot(SourceToDevice.m21(), SourceToDevice.m22());
    if (!std::isfinite(kx) || !std::isfinite(ky))
        return false;
    int64_t n = std::clamp<int64_t>(int64_t(std::min(std::ceil((x1 - x0) * kx), 1e9)) + 1, 1, x1 - x0);
    int64_t m = std::clamp<int64_t>(int64_t(std::min(std::ceil((y1 - y0) * ky), 1e9)) + 1, 1, y1 - y0);
    if (n * m > DibBandPixels) {
        const double f = std::sqrt(double(DibBandPixels) / double(n * m));
        n = std::max<int64_t>(1, int64_t(n * f));
        m = std::max<int64_t>(1, int64_t(m * f));
    }
    Out.Columns.resize(size_t(n));
    Out.Rows.resize(size_t(m));
    for (int64_t i = 0; i < n; ++i)
        Out.Columns[size_t(i)] = int32_t(x0 + (2 * i + 1) * (x1 - x0) / (2 * n));
    for (int64_t j = 0; j < m; ++j)
        Out.Rows[size_t(j)] = int32_t(y0 + (2 * j + 1) * (y1 - y0) / (2 * m));
    Taken = QRectF(x0, y0, x1 - x0, y1 - y0);
    return true;
}

void TEmfPlayer::BlitDib(double X, double Y, double W, double H, const TDibSource& Dib, const QRectF& Source,
                         uint32_t Rop, const std::function<void(QImage&, const TDibInfo&)>& Prepare)
{
    TDibInfo info;
    if (!ReadInfo(Dib, info))
        return;
    auto draw = [&](double X, double Y, double W, double H, QImage Image, const QRectF& From) {
        if (Image.isNull())
            return;
        if (Prepare)
            Prepare(Image, info);
        Blit(X, Y, W, H, Image, From, Rop);
    };
    if (!Large(info)) {
        draw(X, Y, W, H, Decode(Dib), Source);
        return;
    }
    const TEmfRopEffect e = EmfRopEffect(Rop);
    if (e.Type == TEmfRopEffect::Destination)
        return;
    // Operations that leave out the source need none of its pixels.
    if ((e.Type != TEmfRopEffect::Source && !e.Ternary) || Source.width() <= 0 || Source.height() <= 0 || W == 0 ||
        H == 0) {
        Blit(X, Y, W, H, QImage(), Source, Rop);
        return;
    }
    if (!AxisAligned()) {
        // Sampled in source space, as finely as the device shows it; Qt
        // draws the rest.
        const QTransform toLogical(W / Source.width(), 0, 0, H / Source.height(),
                                   X - Source.left() * W / Source.width(), Y - Source.top() * H / Source.height());
        TDibSampling sampling;
        QRectF taken;
        if (!SampleAt(toLogical * FXform, Source, info, sampling, taken))
            return;
        const QImage image = DecodeSampled(Dib, sampling);
        const QPointF at = toLogical.map(taken.topLeft());
        draw(at.x(), at.y(), taken.width() * W / Source.width(), taken.height() * H / Source.height(), image,
             QRectF(image.rect()));
        return;
    }
    // One sample per visible device pixel, the pixel the whole bitmap
    // drawn scaled would show there, drawn unscaled in bands.
    const QPointF a = DevF(X, Y), b = DevF(X + W, Y + H);
    const QPoint pa = RoundPoint(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())));
    const QPoint pb = RoundPoint(QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    if (pb.x() <= pa.x() || pb.y() <= pa.y())
        return;
    const QRect shown = VisibleDeviceRect(QRect(pa, pb - QPoint(1, 1)));
    bool invertible = false;
    const QTransform back = FXform.inverted(&invertible);
    if (shown.isEmpty() || !invertible)
        return;
    TDibSampling all;
    all.Columns = DeviceSamples(shown.left() - pa.x(), shown.width(), pb.x() - pa.x(), Source.left(), Source.width(),
                                info.Width, b.x() < a.x());
    all.Rows = DeviceSamples(shown.top() - pa.y(), shown.height(), pb.y() - pa.y(), Source.top(), Source.height(),
                             info.Height, b.y() < a.y());
    const auto [c0, c1] = OnBitmap(all.Columns);
    const auto [r0, r1] = OnBitmap(all.Rows);
    if (c0 >= c1 || r0 >= r1)
        return;
    TDibSampling band;
    band.Columns.assign(all.Columns.begin() + ptrdiff_t(c0), all.Columns.begin() + ptrdiff_t(c1));
    const size_t rows = size_t(std::max<int64_t>(1, DibBandPixels / int64_t(c1 - c0)));
    for (size_t r = r0; r < r1; r += rows) {
        const size_t end = std::min(r1, r + rows);
        band.Rows.assign(all.Rows.begin() + ptrdiff_t(r), all.Rows.begin() + ptrdiff_t(end));
        const QImage image = DecodeSampled(Dib, band);
        if (image.isNull())
            return;
        const QPointF p = back.map(QPointF(shown.left() + double(c0), shown.top() + double(r)));
        const QPointF q = back.map(QPointF(shown.left() + double(c1), shown.top() + double(end)));
        draw(p.x(), p.y(), q.x() - p.x(), q.y() - p.y(), image, QRectF(image.rect()));
    }
}

void TEmfPlayer::Blit(double X, double Y, double W, double H, const QImage& Image, QRectF Source, uint32_t Rop)
{
    const TEmfRopEffect e = EmfRopEffect(Rop);
    if (e.Type == TEmfRopEffect::Destination)
        return;
    if (e.Ternary && FRasterOps && AxisAligned() && Source.width() > 0 && Source.height() > 0 &&
        TernaryBlit(X, Y, W, H, Image, Source, Rop))
        return;
    if (e.Type != TEmfRopEffect::Source) {
        FillDeviceArea(FXform.map(QPolygonF(QRectF(X, Y, W, H))), Rop);
        return;
    }
    if (Source.width() <= 0 || Source.height() <= 0 || W == 0 || H == 0)
        return;
    QImage image = Image;
    if (e.InvertSource) {
        image = image.convertToFormat(QImage::Format_RGB32);
        image.invertPixels();
    }
    BeginDraw();
    FPainter.setCompositionMode(FRasterOps ? e.Mode : QPainter::CompositionMode_SourceOver);
    if (AxisAligned()) {
        const QPointF a = DevF(X, Y), b = DevF(X + W, Y + H);
        const bool mirrorX = b.x() < a.x(), mirrorY = b.y() < a.y();
        const QPoint pa = RoundPoint(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())));
        const QPoint pb = RoundPoint(QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
        if (pb.x() <= pa.x() || pb.y() <= pa.y())
            return;
        if (mirrorX || mirrorY) {
            image = image.mirrored(mirrorX, mirrorY);
            if (mirrorX)
                Source.moveLeft(image.width() - Source.right());
            if (mirrorY)
                Source.moveTop(image.height() - Source.bottom());
        }
        FPainter.drawImage(QRectF(pa, pb), image, Source);
    } else {
        FPainter.setWorldTransform(FXform * FBase);
        FPainter.drawImage(QRectF(X, Y, W, H), image, Source);
        FPainter.setWorldTransform(FBase);
    }
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool TEmfPlayer::TernaryBlit(double X, double Y, double W, double H, const QImage& Image, const QRectF& Source,
                             uint32_t Rop)
{
    // Any operation on pattern, source and destination, bit by bit: with
    // A its result where the destination bit is 1 and B where it is 0, it
    // is B ^ (D & (A ^ B)), two raster operations the paint engine has.
    const QPointF a = DevF(X, Y), b = DevF(X + W, Y + H);
    const QRect area = QRect(RoundPoint(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y()))),
                             RoundPoint(QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y()))) - QPoint(1, 1));
    // Only the part on the device is computed, a band at a time: a record
    // can cover a whole page at print resolution, or, damaged, any area.
    const QRect visible = area & DeviceBounds().boundingRect();
    if (visible.isEmpty())
        return true;
    const QImage mirrored = Image.mirrored(b.x() < a.x(), b.y() < a.y());
    QRectF from = Source;
    if (b.x() < a.x())
        from.moveLeft(Image.width() - Source.right());
    if (b.y() < a.y())
        from.moveTop(Image.height() - Source.bottom());
    QBrush brush;
    const bool hasBrush = PrepareBrush(brush);
    const uint32_t index = (Rop >> 16) & 0xFF;
    const int rows = std::max(1, (1 << 20) / visible.width());
    BeginDraw();
    for (int top = visible.top(); top <= visible.bottom(); top += rows) {
        const QRect band(visible.left(), top, visible.width(), std::min(rows, visible.bottom() + 1 - top));
        QImage source(band.size(), QImage::Format_RGB32);
        {
            QPainter p(&source);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.translate(area.topLeft() - band.topLeft());
            p.drawImage(QRectF(QPointF(0, 0), QSizeF(area.size())), mirrored, from);
        }
        QImage pattern(band.size(), QImage::Format_RGB32);
        pattern.fill(Qt::black);
        if (hasBrush) {
            QPainter p(&pattern);
            p.setBrushOrigin(QPointF(FState.BrushOrg - band.topLeft()));
            p.fillRect(pattern.rect(), brush);
        }
        // In place: the source becomes A ^ B, the pattern B.
        for (int y = 0; y < band.height(); ++y) {
            auto* s = reinterpret_cast<QRgb*>(source.scanLine(y));
            auto* pt = reinterpret_cast<QRgb*>(pattern.scanLine(y));
            for (int x = 0; x < band.width(); ++x) {
                uint32_t one = 0, zero = 0;
                for (uint32_t ps = 0; ps < 4; ++ps) {
                    const uint32_t term = ((ps & 2) ? pt[x] : ~pt[x]) & ((ps & 1) ? s[x] : ~s[x]);
                    if (index & (1u << (ps * 2 + 1)))
                        one |= term;
                    if (index & (1u << (ps * 2)))
                        zero |= term;
                }
                s[x] = (one ^ zero) | 0xFF000000;
                pt[x] = zero | 0xFF000000;
            }
        }
        FPainter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        FPainter.drawImage(band.topLeft(), source);
        FPainter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        FPainter.drawImage(band.topLeft(), pattern);
    }
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

void TEmfPlayer::FillDeviceArea(const QPolygonF& DevArea, uint32_t Rop)
{
    const TEmfRopEffect e = EmfRopEffect(Rop);
    if (e.Type == TEmfRopEffect::Destination)
        return;
    BeginDraw();
    QBrush brush;
    if (e.Type == TEmfRopEffect::Fill)
        brush = QBrush(e.Color);
    else if (!PrepareBrush(brush))
        return;
    FPainter.setCompositionMode(FRasterOps ? e.Mode : QPainter::CompositionMode_SourceOver);
    const QRectF bounds = DevArea.boundingRect();
    if (AxisAligned())
        FPainter.fillRect(QRect(RoundPoint(bounds.topLeft()), RoundPoint(bounds.bottomRight()) - QPoint(1, 1)), brush);
    else {
        QPainterPath path;
        path.addPolygon(DevArea);
        FPainter.fillPath(path, brush);
    }
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TEmfPlayer::GradientFill(const TEmfRecord& R)
{
    const uint32_t nVer = R.U32(24), nTri = R.U32(28), mode = R.U32(32);
    if (!R.Has(24, 12) || !R.HasArray(36, nVer, 16))
        return;
    const size_t meshAt = 36 + size_t(nVer) * 16;
    const size_t meshSize = mode == 2 ? 12 : 8;
    if (!R.HasArray(meshAt, nTri, meshSize))
        return;
    auto vertex = [&](uint32_t i, QPointF& p, QColor& c) {
        const size_t o = 36 + size_t(i) * 16;
        p = DevF(R.I32(o), R.I32(o + 4));
        c = QColor(R.U16(o + 8) >> 8, R.U16(o + 10) >> 8, R.U16(o + 12) >> 8);
    };
    BeginDraw();
    // Triangles are shaded pixel by pixel: only where they can be seen.
    QRectF seen = FVisible;
    if (FState.HasClip)
        seen &= QRectF(FState.Clip.boundingRect());
    const QRect visible = seen.toAlignedRect();
    for (uint32_t k = 0; k < nTri && !FTooComplex; ++k) {
        const size_t o = meshAt + k * meshSize;
        const uint32_t i0 = R.U32(o), i1 = R.U32(o + 4);
        if (i0 >= nVer || i1 >= nVer)
            continue;
        QPointF p0, p1;
        QColor c0, c1;
        vertex(i0, p0, c0);
        vertex(i1, p1, c1);
        if (mode == 2) {
            const uint32_t i2 = R.U32(o + 8);
            if (i2 >= nVer)
                continue;
            QPointF p2;
            QColor c2;
            vertex(i2, p2, c2);
            const QRectF box = QPolygonF({p0, p1, p2}).boundingRect() & QRectF(visible);
            if (!box.isValid() || !AffordGradient(box.toAlignedRect()))
                continue;
            const QImage shaded = ShadedTriangle({p0, p1, p2}, {c0, c1, c2}, visible);
            if (!shaded.isNull())
                FPainter.drawImage(shaded.offset(), shaded);
            continue;
        }
        const QRectF box = QRectF(p0, p1).normalized();
        if (!Afford(box))
            continue;
        QLinearGradient g(p0, mode == 0 ? QPointF(p1.x(), p0.y()) : QPointF(p0.x(), p1.y()));
        g.setColorAt(0, c0);
        g.setColorAt(1, c1);
        FPainter.fillRect(QRect(RoundPoint(box.topLeft()), RoundPoint(box.bottomRight()) - QPoint(1, 1)), g);
    }
}
