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


// AlphaBlend reads the fourth byte of 32-bit pixels as alpha even when the
// header describes them with three colour masks only, as Office writes them.
QImage DecodeAlphaDib(const TEmfRecord& R, const TDibOptions& Options)
{
    const uint32_t offBmi = R.U32(84), cbBmi = R.U32(88), offBits = R.U32(92), cbBits = R.U32(96);
    const uint8_t* info = R.Ptr(offBmi, cbBmi);
    const uint8_t* bits = R.Ptr(offBits, cbBits);
    if (!info || !bits || cbBmi < 40)
        return QImage();
    std::vector<uint8_t> header(info, info + cbBmi);
    const TEmfRecord h(header.data(), header.size());
    const bool standardMasks = cbBmi >= 52 && h.U32(40) == 0xFF0000 && h.U32(44) == 0xFF00 && h.U32(48) == 0xFF;
    if (h.U16(14) == 32 && h.U32(16) == BI_BITFIELDS && (standardMasks || cbBmi < 52))
        header[16] = BI_RGB;
    return DecodeDib(header.data(), header.size(), bits, cbBits, Options);
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
    TDibInfo info;
    if (type == EMR_PLGBLT) {
        PlgBlt(R);
        return;
    }
    if (type == EMR_SETDIBITSTODEVICE) {
        SetDibitsToDevice(R);
        return;
    }
    if (type == EMR_STRETCHDIBITS) {
        if (!R.Has(8, 68))
            return;
        const double x = R.I32(24), y = R.I32(28);
        const int xSrc = R.I32(32), ySrc = R.I32(36), cxSrc = R.I32(40), cySrc = R.I32(44);
        options.Usage = R.U32(64);
        QImage image = DecodeDibInRecord(R.Data(), R.Size(), R.U32(48), R.U32(52), R.U32(56), R.U32(60), options,
                                         &info);
        if (image.isNull())
            return;
        double w = cxSrc, h = cySrc;
        uint32_t rop = SRCCOPY;
        // In double: the offsets come from the file and may pass the int range.
        double top = ySrc;
        if (!R.Has(68, 12))
            return;
        rop = R.U32(68);
        w = R.I32(72);
        h = R.I32(76);
        // Source y counts from the bottom row of a bottom-up DIB.
        if (!info.TopDown)
            top = double(image.height()) - ySrc - cySrc;
        Blit(x, y, w, h, image, QRectF(xSrc, top, cxSrc, cySrc), rop);
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
    if (type == EMR_ALPHABLEND)
        options.UseAlpha = R.U8(43) & 1; // AC_SRC_ALPHA
    QImage image = options.UseAlpha
                     ? DecodeAlphaDib(R, options)
                     : DecodeDibInRecord(R.Data(), R.Size(), R.U32(84), cbBmi, R.U32(92), R.U32(96), options, &info);
    if (image.isNull())
        return;
    // A four-operand code in a plain blit: only its foreground part counts.
    uint32_t drawRop = rop & 0xFFFFFF;
    if (type == EMR_BITBLT || type == EMR_STRETCHBLT) {
        ColourMono(image, info, FState.TextColor, FState.BkColor);
    } else if (type == EMR_TRANSPARENTBLT) {
        const QRgb key = EmfColor(rop).rgb() & 0xFFFFFF;
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int yy = 0; yy < image.height(); ++yy) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(yy));
            for (int xx = 0; xx < image.width(); ++xx)
                if ((row[xx] & 0xFFFFFF) == key)
                    row[xx] = 0;
        }
        drawRop = SRCCOPY;
    } else if (type == EMR_MASKBLT) {
        MaskBlt(R, x, y, cx, cy, image, QRectF(xSrc, ySrc, cxSrc, cySrc));
        return;
    } else if (type == EMR_ALPHABLEND) {
        const int constant = R.U8(42);
        FPainter.setOpacity(constant / 255.0);
        Blit(x, y, cx, cy, image, QRectF(xSrc, ySrc, cxSrc, cySrc), SRCCOPY);
        FPainter.setOpacity(1.0);
        return;
    }
    Blit(x, y, cx, cy, image, QRectF(xSrc, ySrc, cxSrc, cySrc), drawRop);
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
    TDibOptions options;
    options.Usage = R.U32(64);
    const QImage image = DecodeDib(header.data(), header.size(), R.Ptr(R.U32(56), R.U32(60)), R.U32(60), options);
    if (image.isNull())
        return;
    // Source rectangle in the decoded rows; a bottom-up source counts y
    // from the bottom of the whole bitmap.
    const int64_t top = topDown ? int64_t(ySrc) - startScan : int64_t(startScan) + scans - ySrc - cySrc;
    if (top > image.height() || top + cySrc < 0 || xSrc > image.width())
        return;
    // The source cut to the image in 64 bits: offset and size may each be
    // any int the page gives.
    const int64_t left = std::max<int64_t>(xSrc, 0), right = std::min<int64_t>(int64_t(xSrc) + cxSrc, image.width());
    const int64_t upper = std::max<int64_t>(top, 0), lower = std::min<int64_t>(top + cySrc, image.height());
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
    FPainter.drawImage(at, image, source);
}

void TEmfPlayer::MaskBlt(const TEmfRecord& R, double X, double Y, double W, double H, const QImage& Image,
                         const QRectF& Source)
{
    // Where the mask holds 1 the foreground operation (the low three bytes)
    // applies, where it holds 0 the background one (the high byte).
    const uint32_t rop = R.U32(40);
    const uint32_t foreground = rop & 0xFFFFFF, background = RopFromIndex(rop >> 24);
    TDibInfo maskInfo;
    const QImage mask = R.Has(100, 28) ? DecodeDibInRecord(R.Data(), R.Size(), R.U32(112), R.U32(116), R.U32(120),
                                                           R.U32(124), TDibOptions(), &maskInfo)
                                       : QImage();
    // Regions are int inside Qt: far outside any device, draw it unmasked.
    const QRectF reach(-1e8, -1e8, 2e8, 2e8);
    if (mask.isNull() || !AxisAligned() || !reach.contains(FXform.mapRect(QRectF(X, Y, W, H)))) {
        Blit(X, Y, W, H, Image, Source, foreground);
        return;
    }
    // The set mask bits as a region in device pixels.
    const QImage bits = mask.convertToFormat(QImage::Format_RGB32);
    // Only the rows and columns that meet the mask matter; the destination's
    // size and the mask's offset come from the page and may be anything.
    const int64_t xMask = R.I32(100), yMask = R.I32(104);
    const int64_t y0 = std::max<int64_t>(0, -yMask), y1 = std::min<int64_t>(int64_t(H), bits.height() - yMask);
    const int64_t x0 = std::max<int64_t>(0, -xMask), x1 = std::min<int64_t>(int64_t(W), bits.width() - xMask);
    auto isSet = [&](int64_t x, int64_t y) { return bits.pixel(int(xMask + x), int(yMask + y)) & 0xFFFFFF; };
    QVector<QRect> spans;
    for (int64_t y = y0; y < y1; ++y) {
        for (int64_t x = x0; x < x1;) {
            if (!isSet(x, y)) {
                ++x;
                continue;
            }
            const int64_t from = x;
            while (x < x1 && isSet(x, y))
                ++x;
            spans.append(QRect(int(from), int(y), int(x - from), 1));
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
        Blit(X, Y, W, H, Image, Source, part);
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
    QImage image = DecodeDibInRecord(R.Data(), R.Size(), R.U32(96), R.U32(100), R.U32(104), R.U32(108), options);
    if (image.isNull())
        return;
    // Where the mask holds 0 the page stays as it is.
    TDibInfo maskInfo;
    const QImage mask = DecodeDibInRecord(R.Data(), R.Size(), R.U32(124), R.U32(128), R.U32(132), R.U32(136),
                                          TDibOptions(), &maskInfo);
    if (!mask.isNull())
        image = MaskedSource(image, mask, int64_t(xSrc) - R.I32(112), int64_t(ySrc) - R.I32(116));
    // The source's top-left, top-right and bottom-left corners land on the
    // three points, in logical units.
    const QPointF p0(R.I32(24), R.I32(28)), p1(R.I32(32), R.I32(36)), p2(R.I32(40), R.I32(44));
    const QPointF ex = (p1 - p0) / cxSrc, ey = (p2 - p0) / cySrc;
    const QTransform toLogical(ex.x(), ex.y(), ey.x(), ey.y(), p0.x() - ex.x() * xSrc - ey.x() * ySrc,
                               p0.y() - ex.y() * xSrc - ey.y() * ySrc);
    BeginDraw();
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter.setWorldTransform(toLogical * FXform * FBase);
    FPainter.drawImage(QRectF(xSrc, ySrc, cxSrc, cySrc), image, QRectF(xSrc, ySrc, cxSrc, cySrc));
    FPainter.setWorldTransform(FBase);
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
