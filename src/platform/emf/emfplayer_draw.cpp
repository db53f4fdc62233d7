// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emfrecords.h"

#include <QPainterPathStroker>

#include <cmath>

namespace {

enum : uint8_t { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };

QColor Inverted(QColor C)
{
    return QColor(255 - C.red(), 255 - C.green(), 255 - C.blue());
}

// Qt's arc angles, in degrees counter-clockwise on a y-down surface, of the
// point where the ray from the centre of Box towards Point meets the ellipse.
double ArcAngle(const QRectF& Box, QPointF Point)
{
    const QPointF c = Box.center();
    const double rx = std::max(Box.width() / 2, 1e-9), ry = std::max(Box.height() / 2, 1e-9);
    return std::atan2(-(Point.y() - c.y()) / ry, (Point.x() - c.x()) / rx) * 180.0 / M_PI;
}

// The outline of an ellipse filling the device pixels of Box (right and
// bottom edges left out) as GDI walks it: the integer points of one quadrant
// by Zingl's algorithm, mirrored into the other three.
QPolygon EllipseOutline(const QRect& Box)
{
    const int w = Box.width(), h = Box.height();
    const int64_t a = w - 1, b = h - 1;
    const int64_t asq = 8 * a * a, bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    QPolygon quadrant;
    QPoint pt(int(a), h / 2);
    while (pt.x() >= w / 2) {
        const int64_t e2 = 2 * err;
        quadrant.append(pt);
        if (e2 >= dx) {
            pt.rx()--;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            pt.ry()++;
            err += dy += asq;
        }
    }
    const int count = int(quadrant.size());
    const int l = Box.left(), t = Box.top(), r = l + w, bottom = t + h;
    QPolygon half(2 * count);
    for (int i = 0; i < count; ++i)
        half[i] = QPoint(l + quadrant[i].x(), t + h - 1 - quadrant[i].y());
    int end = 2 * count - 1;
    if (w % 2)
        --end; // the midpoint once
    for (int i = 0; i < count; ++i)
        half[end - i] = QPoint(l + r - 1 - half[i].x(), half[i].y());
    half.resize(end + 1);
    const int n = int(half.size());
    QPolygon whole(2 * n);
    for (int i = 0; i < n; ++i)
        whole[i] = half[i];
    end = 2 * n - 1;
    if (h % 2)
        --end;
    for (int i = 0; i < n; ++i)
        whole[end - i] = QPoint(whole[i].x(), t + bottom - 1 - whole[i].y());
    whole.resize(end + 1);
    return whole;
}

} // namespace

bool TEmfPlayer::DrawRecord(const TEmfRecord& R)
{
    switch (R.Type()) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: return PolyRecord(R);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: return PolyPolyRecord(R);
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: return PolyDraw(R);
    case EMR_LINETO: {
        if (!R.Has(8, 8))
            return true;
        const QPointF to(R.I32(8), R.I32(12));
        if (FState.InPath)
            LineToPath(DevF(to.x(), to.y()));
        else
            StrokeLine(FState.CurPos, to);
        FState.CurPos = to;
        return true;
    }
    case EMR_SETPIXELV: {
        if (!R.Has(8, 12))
            return true;
        const QRect pixel(Dev(R.I32(8), R.I32(12)), QSize(1, 1));
        if (!Afford(QRectF(pixel)))
            return true;
        BeginDraw();
        FPainter.fillRect(pixel, EmfColor(R.U32(16)));
        return true;
    }
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT: BoxRecord(R); return true;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
    case EMR_ANGLEARC: ArcRecord(R); return true;
    case EMR_BEGINPATH:
    case EMR_ENDPATH:
    case EMR_CLOSEFIGURE:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH:
    case EMR_ABORTPATH: PathRecord(R); return true;
    default: return true; // unknown and unsupported records are skipped
    }
}

bool TEmfPlayer::PolyRecord(const TEmfRecord& R)
{
    const uint32_t type = R.Type();
    const bool small = type >= EMR_POLYBEZIER16;
    const uint32_t base = small ? type - EMR_POLYBEZIER16 + EMR_POLYBEZIER : type;
    const size_t pointSize = small ? 4 : 8;
    const uint32_t count = R.U32(24);
    if (!R.Has(24, 4) || !R.HasArray(28, count, pointSize))
        return false;
    const bool to = base == EMR_POLYBEZIERTO || base == EMR_POLYLINETO;
    QPolygonF pts;
    pts.reserve(int(count) + (to ? 1 : 0));
    if (to)
        pts.append(DevF(FState.CurPos.x(), FState.CurPos.y()));
    QPointF last;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t off = 28 + i * pointSize;
        last = small ? QPointF(R.I16(off), R.I16(off + 2)) : QPointF(R.I32(off), R.I32(off + 4));
        pts.append(DevF(last.x(), last.y()));
    }
    if (count == 0)
        return true;
    if (to)
        FState.CurPos = last;
    const bool bezier = base == EMR_POLYBEZIER || base == EMR_POLYBEZIERTO;
    if (bezier || FState.InPath || base == EMR_POLYGON) {
        QPainterPath path;
        if (bezier && pts.size() < 4)
            return true;
        if (FState.InPath && to && FState.Path.elementCount())
            path.moveTo(FState.Path.currentPosition());
        else
            path.moveTo(pts[0]);
        if (bezier) {
            for (int i = 1; i + 2 < pts.size(); i += 3)
                path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        } else {
            for (int i = 1; i < pts.size(); ++i)
                path.lineTo(pts[i]);
        }
        if (base == EMR_POLYGON)
            path.closeSubpath();
        if (FState.InPath)
            AddFigure(path, base == EMR_POLYGON);
        else if (base == EMR_POLYGON)
            FillPath(path, true, true);
        else
            FillPath(path, false, true);
        return true;
    }
    StrokePolyline(pts);
    return true;
}

bool TEmfPlayer::PolyPolyRecord(const TEmfRecord& R)
{
    const uint32_t type = R.Type();
    const bool small = type == EMR_POLYPOLYLINE16 || type == EMR_POLYPOLYGON16;
    const bool polygon = type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16;
    const size_t pointSize = small ? 4 : 8;
    const uint32_t polys = R.U32(24), total = R.U32(28);
    if (!R.Has(24, 8) || !R.HasArray(32, polys, 4))
        return false;
    const size_t pointsAt = 32 + size_t(polys) * 4;
    if (!R.HasArray(pointsAt, total, pointSize))
        return false;
    QPainterPath path;
    uint64_t used = 0;
    for (uint32_t p = 0; p < polys; ++p) {
        const uint32_t n = R.U32(32 + 4 * p);
        if (n > total - used)
            return false;
        for (uint32_t i = 0; i < n; ++i) {
            const size_t off = pointsAt + (used + i) * pointSize;
            const QPointF pt = DevF(small ? R.I16(off) : R.I32(off), small ? R.I16(off + 2) : R.I32(off + 4));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        if (polygon && n)
            path.closeSubpath();
        used += n;
    }
    if (FState.InPath)
        AddFigure(path, polygon);
    else
        FillPath(path, polygon, true);
    return true;
}

bool TEmfPlayer::PolyDraw(const TEmfRecord& R)
{
    const bool small = R.Type() == EMR_POLYDRAW16;
    const size_t pointSize = small ? 4 : 8;
    const uint32_t count = R.U32(24);
    if (!R.Has(24, 4) || !R.HasArray(28, count, pointSize) || !R.HasArray(28 + size_t(count) * pointSize, count, 1))
        return false;
    const size_t typesAt = 28 + size_t(count) * pointSize;
    QPainterPath path;
    path.moveTo(DevF(FState.CurPos.x(), FState.CurPos.y()));
    for (uint32_t i = 0; i < count; ++i) {
        const size_t off = 28 + i * pointSize;
        const QPointF lp(small ? R.I16(off) : R.I32(off), small ? R.I16(off + 2) : R.I32(off + 4));
        const uint8_t t = R.U8(typesAt + i);
        if ((t & ~PT_CLOSEFIGURE) == PT_MOVETO) {
            path.moveTo(DevF(lp.x(), lp.y()));
        } else if ((t & ~PT_CLOSEFIGURE) == PT_BEZIERTO && i + 2 < count) {
            const size_t o2 = off + pointSize, o3 = off + 2 * pointSize;
            const QPointF p2(small ? R.I16(o2) : R.I32(o2), small ? R.I16(o2 + 2) : R.I32(o2 + 4));
            const QPointF p3(small ? R.I16(o3) : R.I32(o3), small ? R.I16(o3 + 2) : R.I32(o3 + 4));
            path.cubicTo(DevF(lp.x(), lp.y()), DevF(p2.x(), p2.y()), DevF(p3.x(), p3.y()));
            FState.CurPos = p3;
            i += 2;
            if (R.U8(typesAt + i) & PT_CLOSEFIGURE)
                path.closeSubpath();
            continue;
        } else {
            path.lineTo(DevF(lp.x(), lp.y()));
        }
        FState.CurPos = lp;
        if (t & PT_CLOSEFIGURE)
            path.closeSubpath();
    }
    if (FState.InPath)
        AddFigure(path, false);
    else
        FillPath(path, false, true);
    return true;
}

void TEmfPlayer::BoxRecord(const TEmfRecord& R)
{
    if (!R.Has(8, 16))
        return;
    const double l = R.I32(8), t = R.I32(12), r = R.I32(16), b = R.I32(20);
    const uint32_t type = R.Type();
    // A wide PS_INSIDEFRAME pen shrinks the figure so that the whole line
    // stays inside the box, as GDI does for every figure given by a box.
    const TEmfPen& pen0 = *FState.Pen;
    const bool insideFrame = !FState.InPath && (pen0.Style & PS_STYLE_MASK) == PS_INSIDEFRAME && !pen0.Cosmetic;
    QPainterPath path;
    if (AxisAligned()) {
        // A page is played in the advanced graphics mode, where a rectangle
        // is the polygon through its corners: its line covers the right and
        // bottom edges and its fill stops one pixel short of them. Ellipses
        // and rounded corners still leave those edges out.
        QRect d = DevRect(l, t, r, b);
        const int w = insideFrame ? int(std::round(pen0.Width * ScaleX())) : 0;
        if (w > 1 && d.width() > w && d.height() > w)
            d.adjust(w / 2, w / 2, -((w - 1) / 2), -((w - 1) / 2));
        const int edge = type == EMR_RECTANGLE ? 0 : 1;
        const QRectF box(d.left(), d.top(), std::max(0, d.width() - edge), std::max(0, d.height() - edge));
        if (type == EMR_RECTANGLE && !FState.InPath) {
            if (!Afford(QRectF(d), 4))
                return;
            BeginDraw();
            QBrush brush;
            if (PrepareBrush(brush))
                FPainter.fillRect(QRect(d.left(), d.top(), std::max(1, d.width()), std::max(1, d.height())), brush);
            QPen pen;
            if (PreparePen(pen)) {
                FPainter.setBrush(Qt::NoBrush);
                const QRectF line = box.translated(HalfPixel(pen));
                StrokeWithGaps(pen, [&] { FPainter.drawRect(line); });
            }
            return;
        }
        constexpr int LargestWalkedEllipse = 1 << 16;
        if (type == EMR_ELLIPSE && !FState.InPath && d.width() > 2 && d.height() > 2 &&
            d.width() < LargestWalkedEllipse && d.height() < LargestWalkedEllipse) {
            if (!Afford(QRectF(d), uint64_t(d.width()) + uint64_t(d.height())))
                return;
            const QPolygon outline = EllipseOutline(d);
            BeginDraw();
            QBrush brush;
            if (PrepareBrush(brush)) {
                FPainter.setPen(Qt::NoPen);
                FPainter.setBrush(brush);
                FPainter.drawPolygon(outline);
            }
            QPen pen;
            if (PreparePen(pen)) {
                FPainter.setBrush(Qt::NoBrush);
                const QPolygonF line = QPolygonF(outline).translated(HalfPixel(pen));
                StrokeWithGaps(pen, [&] { FPainter.drawPolygon(line); });
            }
            return;
        }
        if (type == EMR_RECTANGLE)
            path.addRect(box);
        else if (type == EMR_ELLIPSE)
            path.addEllipse(box);
        else
            path.addRoundedRect(box, std::fabs(R.I32(24) * ScaleX()) / 2, std::fabs(R.I32(28) * ScaleY()) / 2);
    } else {
        QRectF box = QRectF(QPointF(l, t), QPointF(r, b)).normalized();
        const double half = insideFrame ? pen0.Width / 2.0 : 0;
        if (half > 0.5 && box.width() > 2 * half && box.height() > 2 * half)
            box.adjust(half, half, -half, -half);
        if (type == EMR_RECTANGLE)
            path.addRect(box);
        else if (type == EMR_ELLIPSE)
            path.addEllipse(box);
        else
            path.addRoundedRect(box, std::fabs(double(R.I32(24))) / 2, std::fabs(double(R.I32(28))) / 2);
        path = FXform.map(path);
    }
    if (FState.InPath)
        AddFigure(path, true);
    else
        FillPath(path, true, true);
}

void TEmfPlayer::ArcRecord(const TEmfRecord& R)
{
    const uint32_t type = R.Type();
    QRectF box;
    double start = 0, sweep = 0;
    if (type == EMR_ANGLEARC) {
        if (!R.Has(8, 20))
            return;
        const double cx = R.I32(8), cy = R.I32(12), radius = R.U32(16);
        const double a = R.F32(20), s = R.F32(24);
        if (!std::isfinite(a) || !std::isfinite(s) || radius > 1e7)
            return;
        box = QRectF(cx - radius, cy - radius, 2 * radius, 2 * radius);
        start = a;
        sweep = std::clamp(s, -3600.0, 3600.0);
    } else {
        if (!R.Has(8, 32))
            return;
        box = QRectF(QPointF(R.I32(8), R.I32(12)), QPointF(R.I32(16), R.I32(20))).normalized();
        start = ArcAngle(box, QPointF(R.I32(24), R.I32(28)));
        const double end = ArcAngle(box, QPointF(R.I32(32), R.I32(36)));
        // Counter-clockwise on the device unless the arc direction or a
        // mirroring mapping says otherwise.
        const bool mirrored = FXform.determinant() < 0;
        const bool ccwLogical = FState.Clockwise == mirrored;
        sweep = ccwLogical ? std::fmod(end - start + 720.0, 360.0) : -std::fmod(start - end + 720.0, 360.0);
        if (sweep == 0)
            sweep = ccwLogical ? 360 : -360;
    }
    QPainterPath lp;
    if (type == EMR_PIE) {
        lp.moveTo(box.center());
        lp.arcTo(box, start, sweep);
        lp.closeSubpath();
    } else {
        if (type == EMR_ARCTO || type == EMR_ANGLEARC) {
            lp.moveTo(FState.CurPos);
            lp.arcTo(box, start, sweep);
        } else {
            lp.arcMoveTo(box, start);
            lp.arcTo(box, start, sweep);
        }
        if (type == EMR_CHORD)
            lp.closeSubpath();
    }
    if (type == EMR_ARCTO || type == EMR_ANGLEARC)
        FState.CurPos = lp.currentPosition();
    const QPainterPath path = FXform.map(lp);
    const bool closed = type == EMR_CHORD || type == EMR_PIE;
    if (FState.InPath)
        AddFigure(path, closed);
    else
        FillPath(path, closed, true);
}

void TEmfPlayer::PathRecord(const TEmfRecord& R)
{
    TEmfPath& path = FState.Path;
    switch (R.Type()) {
    case EMR_BEGINPATH:
        path.Clear();
        FState.InPath = true;
        break;
    case EMR_ENDPATH: FState.InPath = false; break;
    case EMR_ABORTPATH:
        path.Clear();
        FState.InPath = false;
        break;
    case EMR_CLOSEFIGURE:
        if (FState.InPath && PathRoom(1))
            path.closeSubpath();
        break;
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH: {
        if (FState.InPath)
            break;
        const bool fill = R.Type() != EMR_STROKEPATH, stroke = R.Type() != EMR_FILLPATH;
        FillPath(path.ToPainterPath(), fill, stroke);
        path.Clear();
        break;
    }
    case EMR_FLATTENPATH: // curves are drawn flattened anyway
        break;
    case EMR_WIDENPATH: {
        QPen pen;
        if (FState.InPath || !PreparePen(pen))
            break;
        QPainterPathStroker stroker(pen);
        stroker.setWidth(std::max(1.0, pen.widthF()));
        path.Assign(stroker.createStroke(path.ToPainterPath()));
        break;
    }
    default: break;
    }
}

bool TEmfPlayer::PreparePen(QPen& Pen) const
{
    const TEmfPen& p = *FState.Pen;
    if (p.IsNull())
        return false;
    const TEmfRop2Effect rop = EmfRop2Effect(FState.Rop2);
    if (rop.Skip)
        return false;
    QColor color = rop.ForceColor ? rop.Color : p.Color;
    if (rop.InvertPen)
        color = Inverted(color);
    double width = p.Cosmetic ? 0 : std::round(p.Width * ScaleX());
    if (width <= 1)
        width = 0;
    Pen = QPen(color, width);
    const uint32_t style = p.Style & PS_STYLE_MASK;
    if (style == PS_USERSTYLE && !p.UserDashes.empty()) {
        QVector<qreal> dashes;
        const double unit = width > 0 ? width : 1;
        for (double d : p.UserDashes)
            dashes.append(std::max(0.1, d * (p.Cosmetic ? 1.0 : ScaleX()) / unit));
        if (dashes.size() % 2)
            dashes.append(dashes.back());
        Pen.setDashPattern(dashes);
    } else if (width == 0) {
        const std::vector<double> d = EmfCosmeticDashes(style);
        if (!d.empty())
            Pen.setDashPattern(QVector<qreal>(d.begin(), d.end()));
    } else {
        switch (style) {
        case PS_DASH: Pen.setStyle(Qt::DashLine); break;
        case PS_DOT: Pen.setStyle(Qt::DotLine); break;
        case PS_DASHDOT: Pen.setStyle(Qt::DashDotLine); break;
        case PS_DASHDOTDOT: Pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
    }
    if (width > 0) {
        switch (p.Style & PS_ENDCAP_MASK) {
        case PS_ENDCAP_SQUARE: Pen.setCapStyle(Qt::SquareCap); break;
        case PS_ENDCAP_FLAT: Pen.setCapStyle(Qt::FlatCap); break;
        default: Pen.setCapStyle(Qt::RoundCap); break;
        }
        switch (p.Style & PS_JOIN_MASK) {
        case PS_JOIN_BEVEL: Pen.setJoinStyle(Qt::BevelJoin); break;
        case PS_JOIN_MITER: Pen.setJoinStyle(Qt::MiterJoin); break;
        default: Pen.setJoinStyle(Qt::RoundJoin); break;
        }
    }
    return true;
}

bool TEmfPlayer::PrepareBrush(QBrush& Brush) const
{
    const TEmfBrush& b = *FState.Brush;
    const TEmfRop2Effect rop = EmfRop2Effect(FState.Rop2);
    if (rop.Skip || b.Type == TEmfBrush::Null)
        return false;
    if (rop.ForceColor) {
        Brush = QBrush(rop.Color);
        return true;
    }
    switch (b.Type) {
    case TEmfBrush::Solid: Brush = QBrush(rop.InvertPen ? Inverted(b.Color) : b.Color); break;
    case TEmfBrush::Hatched:
        Brush = QBrush(EmfHatchTile(b.Hatch, b.Color, FState.BkColor, FState.BkMode == OPAQUE));
        break;
    case TEmfBrush::Pattern: {
        QImage image = b.Image;
        if (b.Mono && image.format() == QImage::Format_Mono) {
            image.setColor(0, FState.TextColor.rgb());
            image.setColor(1, FState.BkColor.rgb());
        }
        Brush = QBrush(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        break;
    }
    default: return false;
    }
    return true;
}

void TEmfPlayer::BeginDraw()
{
    if (FClipDirty)
        ApplyClip();
    const QPointF brushOrigin = FBase.map(QPointF(FState.BrushOrg));
    if (FPainter.brushOrigin() != brushOrigin)
        FPainter.setBrushOrigin(brushOrigin);
    const TEmfRop2Effect rop = EmfRop2Effect(FState.Rop2);
    const QPainter::CompositionMode mode = FRasterOps ? rop.Mode : QPainter::CompositionMode_SourceOver;
    if (FPainter.compositionMode() != mode)
        FPainter.setCompositionMode(mode);
}

void TEmfPlayer::FillPath(const QPainterPath& DevPath, bool Fill, bool Stroke)
{
    if (DevPath.isEmpty())
        return;
    QBrush brush;
    QPen pen;
    Fill = Fill && PrepareBrush(brush);
    Stroke = Stroke && PreparePen(pen);
    const QRectF bounds = DevPath.controlPointRect();
    if (Fill && !Afford(bounds, uint64_t(DevPath.elementCount())))
        return;
    if (Stroke && !AffordStroke(bounds, uint64_t(DevPath.elementCount()), pen.widthF()))
        return;
    BeginDraw();
    QPainterPath path = FRasterOps ? OnWholePixels(DevPath) : DevPath;
    path.setFillRule(FState.FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (Fill)
        FPainter.fillPath(path, brush);
    if (Stroke) {
        const QPainterPath line = path.translated(HalfPixel(pen));
        FPainter.setBrush(Qt::NoBrush);
        StrokeWithGaps(pen, [&] { FPainter.drawPath(line); });
    }
}

QPainterPath TEmfPlayer::OnWholePixels(const QPainterPath& DevPath) const
{
    // GDI keeps a figure's points, curves' control points too, on whole
    // device pixels.
    QPainterPath out = DevPath;
    for (int i = 0; i < out.elementCount(); ++i) {
        const QPainterPath::Element e = out.elementAt(i);
        const QPoint p = RoundPoint(QPointF(e.x, e.y));
        if (p.x() != e.x || p.y() != e.y)
            out.setElementPositionAt(i, p.x(), p.y());
    }
    return out;
}

QPointF TEmfPlayer::HalfPixel(const QPen& Pen) const
{
    // GDI's whole coordinates are pixel centres, Qt's pixel corners: a line
    // of an odd width has its edges on pixel centres, where Qt rounds them
    // the other way than GDI, and meets GDI's pixels half a pixel on.
    // Lines of an even width and fills have their edges on pixel corners.
    const bool odd = Pen.widthF() > 1 && std::lround(Pen.widthF()) % 2;
    return FRasterOps && odd ? QPointF(0.5, 0.5) : QPointF(0, 0);
}

bool TEmfPlayer::GapPen(const QPen& Pen, QPen& Gaps) const
{
    // An opaque background fills the gaps of dashed and dotted lines.
    if (FState.BkMode != OPAQUE || Pen.style() == Qt::SolidLine || Pen.style() == Qt::NoPen)
        return false;
    Gaps = Pen;
    Gaps.setStyle(Qt::SolidLine);
    Gaps.setColor(FState.BkColor);
    return true;
}

void TEmfPlayer::StrokeLine(QPointF From, QPointF To)
{
    QPen pen;
    BeginDraw();
    if (!PreparePen(pen))
        return;
    const QPointF half = HalfPixel(pen);
    const QLineF line(Dev(From.x(), From.y()) + half, Dev(To.x(), To.y()) + half);
    if (!AffordStroke(QRectF(line.p1(), line.p2()), 2, pen.widthF()))
        return;
    StrokeWithGaps(pen, [&] { FPainter.drawLine(line); });
}

void TEmfPlayer::StrokePolyline(const QPolygonF& DevPoints)
{
    QPen pen;
    BeginDraw();
    if (DevPoints.size() < 2 || !PreparePen(pen))
        return;
    if (!AffordStroke(DevPoints.boundingRect(), uint64_t(DevPoints.size()), pen.widthF()))
        return;
    QPolygon pts(DevPoints.size());
    for (int i = 0; i < DevPoints.size(); ++i)
        pts[i] = RoundPoint(DevPoints[i]);
    const QPolygonF line = QPolygonF(pts).translated(HalfPixel(pen));
    StrokeWithGaps(pen, [&] { FPainter.drawPolyline(line); });
}

void TEmfPlayer::AddFigure(const QPainterPath& DevPath, bool Closed)
{
    TEmfPath& path = FState.Path;
    if (!PathRoom(DevPath.elementCount()))
        return;
    if (Closed || path.elementCount() == 0) {
        path.addPath(DevPath);
        return;
    }
    // An open figure that starts where the current one ends continues it.
    for (int i = 0; i < DevPath.elementCount(); ++i) {
        const QPainterPath::Element e = DevPath.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0 || QPointF(e) != path.currentPosition())
                path.moveTo(e);
            break;
        case QPainterPath::LineToElement: path.lineTo(e); break;
        case QPainterPath::CurveToElement:
            if (i + 2 < DevPath.elementCount()) {
                path.cubicTo(e, DevPath.elementAt(i + 1), DevPath.elementAt(i + 2));
                i += 2;
            }
            break;
        default: break;
        }
    }
}

void TEmfPlayer::LineToPath(QPointF Dev)
{
    TEmfPath& path = FState.Path;
    if (!PathRoom(2))
        return;
    if (path.elementCount() == 0)
        path.moveTo(DevF(FState.CurPos.x(), FState.CurPos.y()));
    path.lineTo(Dev);
}
