// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfrecords.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr size_t RegionHeaderSize = 32;

// A polygon region costs time in proportion to its height: one from a
// damaged record can reach millions of pixels. Cut it to a margin around
// Device first; that margin keeps what a later offset may move into view.
QRegion BoundedPolygonRegion(const QPolygonF& Polygon, Qt::FillRule Rule, const QRect& Device)
{
    const int margin = std::max(Device.width(), Device.height()) + 4096;
    const QRectF bounds = QRectF(Device).adjusted(-margin, -margin, margin, margin);
    if (bounds.contains(Polygon.boundingRect()))
        return QRegion(Polygon.toPolygon(), Rule);
    QPainterPath path;
    path.addPolygon(Polygon);
    path.setFillRule(Rule);
    QPainterPath box;
    box.addRect(bounds);
    QRegion region;
    for (const QPolygonF& piece : path.intersected(box).toFillPolygons())
        region ^= QRegion(piece.toPolygon(), Qt::OddEvenFill);
    return region;
}

} // namespace

QRegion TEmfPlayer::DeviceBounds() const
{
    const QPaintDevice* d = FPainter.device();
    if (!d)
        return QRegion(QRect(0, 0, 1, 1));
    // Widgets give their size in logical pixels, images and pixmaps in pixels.
    const double scale = d->devType() == QInternal::Widget ? d->devicePixelRatio() : 1.0;
    return QRegion(QRect(0, 0, int(std::ceil(d->width() * scale)), int(std::ceil(d->height() * scale))));
}

bool TEmfPlayer::ReadRegion(const TEmfRecord& R, size_t Offset, size_t Size, bool Logical, QRegion& Out) const
{
    if (!R.Has(Offset, Size) || Size < RegionHeaderSize)
        return false;
    const uint32_t count = R.U32(Offset + 8);
    const uint32_t headerSize = R.U32(Offset);
    const size_t rectsAt = Offset +
                           (headerSize >= RegionHeaderSize && headerSize < Size ? headerSize : RegionHeaderSize);
    if (rectsAt > Offset + Size || count > (Offset + Size - rectsAt) / 16)
        return false;
    QVector<QRect> rects;
    rects.reserve(int(count));
    const bool aligned = Logical ? AxisAligned() : FInit.type() <= QTransform::TxScale;
    QRegion polygons;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t o = rectsAt + 16 * size_t(i);
        const double l = R.I32(o), t = R.I32(o + 4), r = R.I32(o + 8), b = R.I32(o + 12);
        if (r <= l || b <= t)
            continue;
        if (aligned) {
            const QTransform& x = Logical ? FXform : FInit;
            const QPoint a = RoundPoint(x.map(QPointF(l, t))), c = RoundPoint(x.map(QPointF(r, b)));
            const QRect rect(QPoint(std::min(a.x(), c.x()), std::min(a.y(), c.y())),
                             QPoint(std::max(a.x(), c.x()) - 1, std::max(a.y(), c.y()) - 1));
            if (!rect.isEmpty())
                rects.append(rect);
        } else {
            const QTransform& x = Logical ? FXform : FInit;
            polygons += BoundedPolygonRegion(x.map(QPolygonF(QRectF(l, t, r - l, b - t))), Qt::OddEvenFill,
                                             DeviceBounds().boundingRect());
        }
    }
    // setRects wants the y-x banded order GDI stores; fall back to adding
    // rectangle by rectangle for regions from other writers.
    QRegion region;
    bool banded = true;
    for (int i = 1; i < rects.size() && banded; ++i)
        banded = rects[i].top() > rects[i - 1].top() ||
                 (rects[i].top() == rects[i - 1].top() && rects[i].bottom() == rects[i - 1].bottom() &&
                  rects[i].left() > rects[i - 1].right());
    if (banded)
        region.setRects(rects.constData(), int(rects.size()));
    else
        for (const QRect& r : rects)
            region += r;
    Out = region + polygons;
    return true;
}

void TEmfPlayer::CombineClip(const QRegion& Region, uint32_t Mode)
{
    const QRegion current = FState.HasClip ? FState.Clip : DeviceBounds();
    switch (Mode) {
    case RGN_AND: FState.Clip = current & Region; break;
    case RGN_OR:
        if (!FState.HasClip)
            return;
        FState.Clip = current | Region;
        break;
    case RGN_XOR: FState.Clip = current ^ Region; break;
    case RGN_DIFF: FState.Clip = current - Region; break;
    case RGN_COPY: FState.Clip = Region; break;
    default: return;
    }
    FState.HasClip = true;
    FClipDirty = true;
}

void TEmfPlayer::ClipRecord(const TEmfRecord& R)
{
    switch (R.Type()) {
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT: {
        if (!R.Has(8, 16))
            return;
        const double l = R.I32(8), t = R.I32(12), r = R.I32(16), b = R.I32(20);
        QRegion region;
        if (AxisAligned())
            region = QRegion(DevRect(l, t, r, b));
        else
            region = BoundedPolygonRegion(FXform.map(QPolygonF(QRectF(QPointF(l, t), QPointF(r, b)).normalized())),
                                          Qt::OddEvenFill, DeviceBounds().boundingRect());
        CombineClip(region, R.Type() == EMR_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
        break;
    }
    case EMR_EXTSELECTCLIPRGN: {
        const uint32_t size = R.U32(8), mode = R.U32(12);
        if (!R.Has(8, 8))
            return;
        if (mode == RGN_COPY && size < RegionHeaderSize) {
            FState.HasClip = false;
            FState.Clip = QRegion();
            FClipDirty = true;
            return;
        }
        QRegion region;
        if (ReadRegion(R, 16, size, false, region))
            CombineClip(region, mode);
        break;
    }
    case EMR_OFFSETCLIPRGN: {
        if (!R.Has(8, 8) || !FState.HasClip)
            return;
        const QPoint d = RoundPoint(DevF(R.I32(8), R.I32(12)) - DevF(0, 0));
        // Offsets add up record after record; a clip pushed beyond any
        // device is an empty one, and QRegion's own int sums stay in range.
        const QRect b = FState.Clip.boundingRect();
        const int64_t far = int64_t(1) << 30;
        if (std::llabs(int64_t(b.left()) + d.x()) > far || std::llabs(int64_t(b.right()) + d.x()) > far ||
            std::llabs(int64_t(b.top()) + d.y()) > far || std::llabs(int64_t(b.bottom()) + d.y()) > far)
            FState.Clip = QRegion();
        else
            FState.Clip.translate(d);
        FClipDirty = true;
        break;
    }
    case EMR_SELECTCLIPPATH: {
        QPainterPath path = FState.Path.ToPainterPath();
        path.setFillRule(FState.FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        QRegion region;
        for (const QPolygonF& poly : path.toFillPolygons())
            region ^= BoundedPolygonRegion(poly, path.fillRule(), DeviceBounds().boundingRect());
        CombineClip(region, R.U32(8));
        FState.Path.Clear();
        FState.InPath = false;
        break;
    }
    default: break;
    }
}

void TEmfPlayer::ApplyClip()
{
    FClipDirty = false;
    if (!FState.HasClip) {
        // Not setClipping(false): Qt's raster engine keeps that switch in
        // the clip it reuses for the next setClipRegion, which then stays off.
        if (FCallerHasClip)
            FPainter.setClipRegion(FCallerClip);
        else
            FPainter.setClipRegion(QRegion(), Qt::NoClip);
        return;
    }
    FPainter.setClipRegion(FCallerHasClip ? FState.Clip & FCallerClip : FState.Clip);
}

void TEmfPlayer::RegionRecord(const TEmfRecord& R)
{
    if (!R.Has(8, 20))
        return;
    const uint32_t type = R.Type();
    const uint32_t size = R.U32(24);
    const size_t dataAt = type == EMR_FILLRGN ? 32 : type == EMR_FRAMERGN ? 40 : 28;
    QRegion region;
    if (!ReadRegion(R, dataAt, size, true, region) || region.isEmpty())
        return;
    if (!Afford(QRectF(region.boundingRect()), uint64_t(region.rectCount())))
        return;
    auto saved = FState.Brush;
    if (type == EMR_FILLRGN || type == EMR_FRAMERGN) {
        const uint32_t index = R.U32(28);
        const TEmfObject stock = (index & STOCK_OBJECT) ? EmfStockObject(index & ~STOCK_OBJECT) : TEmfObject();
        const TEmfObject* o = (index & STOCK_OBJECT) ? &stock : index < FObjects.size() ? &FObjects[index] : nullptr;
        if (!o || o->Type != TEmfObject::Brush)
            return;
        FState.Brush = o->BrushValue;
    }
    BeginDraw();
    if (type == EMR_INVERTRGN) {
        if (FRasterOps) {
            FPainter.setCompositionMode(QPainter::RasterOp_NotDestination);
            for (const QRect& r : region)
                FPainter.fillRect(r, Qt::black);
        }
    } else {
        if (type == EMR_FRAMERGN) {
            // A frame wider than the device covers the whole region anyway.
            const double most = 1 << 24;
            const int w = int(std::clamp(std::round(std::fabs(R.I32(32) * ScaleX())), 1.0, most)),
                      h = int(std::clamp(std::round(std::fabs(R.I32(36) * ScaleY())), 1.0, most));
            const QRegion inner = region & region.translated(w, 0) & region.translated(-w, 0) &
                                  region.translated(0, h) & region.translated(0, -h);
            region -= inner;
        }
        QBrush brush;
        if (PrepareBrush(brush))
            for (const QRect& r : region)
                FPainter.fillRect(r, brush);
    }
    FState.Brush = saved;
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TEmfPlayer::FloodFill(const TEmfRecord& R)
{
    // Filling by colour needs the pixels drawn so far: only an image has them.
    if (!R.Has(8, 16) || !FPainter.device() || FPainter.device()->devType() != QInternal::Image)
        return;
    BeginDraw();
    const QImage& page = *static_cast<const QImage*>(FPainter.device());
    const QRect area = (FState.HasClip ? FState.Clip : DeviceBounds()).boundingRect() & page.rect();
    // The walk may visit every pixel of the area, several times over.
    if (!Afford(QRectF(area), uint64_t(area.width()) * 4))
        return;
    const QPoint seed = Dev(R.I32(8), R.I32(12));
    const QRgb colour = EmfColor(R.U32(16)).rgb() & 0xFFFFFF;
    const bool surface = R.U32(20) == 1; // FLOODFILLSURFACE: fill while the colour matches
    auto fills = [&](int X, int Y) { return ((page.pixel(X, Y) & 0xFFFFFF) == colour) == surface; };
    if (!area.contains(seed) || (FState.HasClip && !FState.Clip.contains(seed)) || !fills(seed.x(), seed.y()))
        return;
    // Scanline fill: each span found is marked, then the rows above and
    // below it are searched for spans that touch it.
    const int w = area.width();
    std::vector<uint8_t> done(size_t(w) * size_t(area.height()), 0);
    auto mark = [&](int X, int Y) -> uint8_t& {
        return done[size_t(Y - area.top()) * size_t(w) + size_t(X - area.left())];
    };
    std::vector<QPoint> pending{seed};
    std::vector<QRect> spans;
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        if (mark(p.x(), p.y()) || !fills(p.x(), p.y()))
            continue;
        int l = p.x(), r = p.x();
        while (l > area.left() && !mark(l - 1, p.y()) && fills(l - 1, p.y()))
            --l;
        while (r < area.right() && !mark(r + 1, p.y()) && fills(r + 1, p.y()))
            ++r;
        for (int x = l; x <= r; ++x)
            mark(x, p.y()) = 1;
        spans.emplace_back(QPoint(l, p.y()), QPoint(r, p.y()));
        for (int y : {p.y() - 1, p.y() + 1}) {
            if (y < area.top() || y > area.bottom())
                continue;
            for (int x = l; x <= r; ++x)
                if (!mark(x, y) && fills(x, y)) {
                    pending.emplace_back(x, y);
                    while (x < r && fills(x + 1, y))
                        ++x;
                }
        }
    }
    // One-row spans that never overlap: in y-x order they are the banded
    // rectangles setRects takes, which a union of thousands would not be.
    std::sort(spans.begin(), spans.end(), [](const QRect& A, const QRect& B) {
        return A.top() != B.top() ? A.top() < B.top() : A.left() < B.left();
    });
    QRegion region;
    region.setRects(spans.data(), int(spans.size()));
    if (FState.HasClip)
        region &= FState.Clip;
    QBrush brush;
    if (!PrepareBrush(brush))
        return;
    for (const QRect& r : region)
        FPainter.fillRect(r, brush);
}
