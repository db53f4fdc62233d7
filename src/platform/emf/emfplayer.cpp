// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplayer.h"

#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfrecords.h"

#include <QPaintDevice>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace {

// Keeps rounding of coordinates from damaged pages inside int.
double ClampCoord(double V)
{
    if (!(V == V))
        return 0;
    return std::clamp(V, -1.0e8, 1.0e8);
}

} // namespace

TEmfPlayer::TEmfPlayer(QPainter& Painter, const QRectF& Target, const TMetafile& Page, const TEmfPlayOptions& Options)
    : FPainter(Painter), FPage(Page), FDevice(EmfReferenceDevice(Page.Header())), FOptions(Options)
{
    FInit = EmfFrameTransform(Page.Header(), Target) * Painter.combinedTransform();
    FState.Pen = EmfStockObject(BLACK_PEN).PenValue;
    FState.Brush = EmfStockObject(WHITE_BRUSH).BrushValue;
    FState.Font = EmfStockObject(SYSTEM_FONT).FontValue;
    FObjects.resize(std::max<size_t>(1, Page.Header().nHandles));
    UpdateTransform();
}

TEmfPlayResult TEmfPlayer::Play()
{
    TEmfPlayResult result;
    const std::vector<uint8_t>& data = FPage.Data();
    const uint32_t headerSize = FPage.Header().nSize;
    if (data.size() < 8 || headerSize < 8 || headerSize > data.size()) {
        result.Damaged = !data.empty();
        return result;
    }
    FPainter.save();
    const QPaintEngine* engine = FPainter.paintEngine();
    FRasterOps = engine && engine->type() == QPaintEngine::Raster;
    FVectorText = !FRasterOps;
    FCallerHasClip = FPainter.hasClipping();
    if (FCallerHasClip)
        FCallerClip = FPainter.combinedTransform().map(FPainter.clipRegion());
    // Drawing happens in device pixels; on a device with a pixel ratio
    // (a scaled screen) Qt scales whatever is drawn by that ratio.
    const QPaintDevice* device = FPainter.device();
    const double ratio = device ? std::max(1e-3, device->devicePixelRatio()) : 1.0;
    FBase = QTransform::fromScale(1.0 / ratio, 1.0 / ratio);
    FPainter.resetTransform();
    FPainter.setWorldTransform(FBase);
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter.setRenderHint(QPainter::TextAntialiasing, true);
    FPainter.setBrushOrigin(0, 0);

    // The budget grows with what the output shows: a page drawn large may
    // cost more than its thumbnail, a part of it drawn into a window less.
    FVisible = QRectF(DeviceBounds().boundingRect());
    if (FCallerHasClip)
        FVisible &= QTransform::fromScale(ratio, ratio).mapRect(QRectF(FCallerClip.boundingRect()));
    const TEmfPlayLimits& limits = FOptions.Limits;
    const double area = FVisible.width() * FVisible.height();
    FWorkBudget = std::max<uint64_t>(limits.MinWork, uint64_t(std::min(1e18, area * limits.Overdraw)));
    FGradientBudget = std::max<uint64_t>(limits.MinGradientPixels,
                                         uint64_t(std::min(1e18, area * limits.GradientOverdraw)));

    result.Records = 1;
    TEmfRecordWalker walker(data.data(), data.size(), headerSize);
    TEmfRecord r;
    while (walker.Next(r)) {
        ++result.Records;
        if (r.Type() == EMR_EOF) {
            result.ReachedEof = true;
            break;
        }
        if (result.Records > limits.Records)
            FTooComplex = true;
        // Checked every few records: an atomic read is cheap, but not free.
        if (FOptions.Cancel && result.Records % 64 == 0 && FOptions.Cancel->load(std::memory_order_relaxed)) {
            result.Cancelled = true;
            break;
        }
        if (FTooComplex)
            break;
        if (!Dispatch(r)) {
            result.Damaged = true;
            break;
        }
    }
    if (walker.Damaged())
        result.Damaged = true;
    result.TooComplex = FTooComplex;
    FPainter.restore();
    return result;
}

bool TEmfPlayer::Dispatch(const TEmfRecord& R)
{
    // A table laid out by hand.
    // clang-format off
    switch (R.Type()) {
    case EMR_SETWINDOWEXTEX: case EMR_SETWINDOWORGEX: case EMR_SETVIEWPORTEXTEX: case EMR_SETVIEWPORTORGEX:
    case EMR_SETMAPMODE: case EMR_SCALEVIEWPORTEXTEX: case EMR_SCALEWINDOWEXTEX: case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: case EMR_SAVEDC: case EMR_RESTOREDC:
        MappingRecord(R);
        return true;
    case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2: case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN: case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR: case EMR_MOVETOEX: case EMR_SETARCDIRECTION:
    case EMR_SETBRUSHORGEX:
        StateRecord(R);
        return true;
    case EMR_SELECTOBJECT: case EMR_DELETEOBJECT: case EMR_CREATEPEN: case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT: case EMR_CREATEDIBPATTERNBRUSHPT: case EMR_CREATEMONOBRUSH:
    case EMR_EXTCREATEFONTINDIRECTW: case EMR_CREATEPALETTE:
        ObjectRecord(R);
        return true;
    case EMR_EXTTEXTOUTW: case EMR_EXTTEXTOUTA:
        TextRecord(R);
        return true;
    case EMR_POLYTEXTOUTW: case EMR_POLYTEXTOUTA: case EMR_SMALLTEXTOUT:
        PolyTextRecord(R);
        return true;
    case EMR_INTERSECTCLIPRECT: case EMR_EXCLUDECLIPRECT: case EMR_EXTSELECTCLIPRGN: case EMR_OFFSETCLIPRGN:
    case EMR_SELECTCLIPPATH: case EMR_SETMETARGN:
        ClipRecord(R);
        return true;
    case EMR_FILLRGN: case EMR_FRAMERGN: case EMR_INVERTRGN: case EMR_PAINTRGN:
        RegionRecord(R);
        return true;
    case EMR_EXTFLOODFILL:
        FloodFill(R);
        return true;
    case EMR_BITBLT: case EMR_STRETCHBLT: case EMR_STRETCHDIBITS: case EMR_SETDIBITSTODEVICE: case EMR_MASKBLT:
    case EMR_ALPHABLEND: case EMR_TRANSPARENTBLT: case EMR_PLGBLT:
        if (AffordBitmap(R))
            BitmapRecord(R);
        return true;
    case EMR_GRADIENTFILL:
        GradientFill(R);
        return true;
    default:
        return DrawRecord(R);
    }
    // clang-format on
}

void TEmfPlayer::StateRecord(const TEmfRecord& R)
{
    const uint32_t v = R.U32(8);
    switch (R.Type()) {
    case EMR_SETBKMODE: FState.BkMode = v; break;
    case EMR_SETPOLYFILLMODE: FState.FillMode = v; break;
    case EMR_SETROP2: FState.Rop2 = v; break;
    case EMR_SETSTRETCHBLTMODE: FState.StretchMode = v; break;
    case EMR_SETTEXTALIGN: FState.TextAlign = v; break;
    case EMR_SETTEXTCOLOR: FState.TextColor = EmfColor(v); break;
    case EMR_SETBKCOLOR: FState.BkColor = EmfColor(v); break;
    case EMR_SETARCDIRECTION: FState.Clockwise = v == 2; break;
    case EMR_SETBRUSHORGEX: FState.BrushOrg = QPoint(R.I32(8), R.I32(12)); break;
    case EMR_MOVETOEX:
        FState.CurPos = QPointF(R.I32(8), R.I32(12));
        if (FState.InPath && PathRoom(1))
            FState.Path.moveTo(DevF(FState.CurPos.x(), FState.CurPos.y()));
        break;
    default: break;
    }
}

void TEmfPlayer::MappingRecord(const TEmfRecord& R)
{
    switch (R.Type()) {
    case EMR_SAVEDC: SaveDC(); return;
    case EMR_RESTOREDC: RestoreDC(R.I32(8)); return;
    default:
        if (EmfMappingRecord(FState.Mapping, R, FDevice) || EmfWorldRecord(FState.World, R))
            UpdateTransform();
        return;
    }
}

void TEmfPlayer::SaveDC()
{
    // Beyond the cap the save is dropped; its restore then pops one level too
    // many, which only costs fidelity on a page that is damaged anyway.
    if (FSaved.size() < EmfMaxSaveDepth)
        FSaved.push_back(FState);
}

void TEmfPlayer::RestoreDC(int Level)
{
    const int64_t depth = int64_t(FSaved.size());
    int64_t target = Level < 0 ? depth + Level : int64_t(Level) - 1;
    if (Level == 0 || target < 0 || target >= depth)
        return;
    const bool clipChanged = FSaved[size_t(target)].HasClip != FState.HasClip || FState.HasClip ||
                             FSaved[size_t(target)].HasClip;
    // The current path survives a restore in GDI only when it is not saved.
    FState = std::move(FSaved[size_t(target)]);
    FSaved.resize(size_t(target));
    FClipDirty = FClipDirty || clipChanged;
    UpdateTransform();
}

void TEmfPlayer::UpdateTransform()
{
    FXform = FState.World * EmfPageTransform(FState.Mapping) * FInit;
}

QPoint TEmfPlayer::RoundPoint(QPointF Point) const
{
    return QPoint(int(std::lround(ClampCoord(Point.x()))), int(std::lround(ClampCoord(Point.y()))));
}

QPoint TEmfPlayer::Dev(double X, double Y) const
{
    return RoundPoint(DevF(X, Y));
}

double TEmfPlayer::ScaleX() const
{
    return std::hypot(FXform.m11(), FXform.m12());
}

double TEmfPlayer::ScaleY() const
{
    return std::hypot(FXform.m21(), FXform.m22());
}

QRect TEmfPlayer::DevRect(double L, double T, double R, double B) const
{
    const QPoint a = Dev(L, T), b = Dev(R, B);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

bool TEmfPlayer::Afford(const QRectF& DevBounds, uint64_t Points)
{
    const QRectF seen = DevBounds.normalized() & FVisible;
    return Charge(seen.isValid() ? seen.width() * seen.height() : 0, Points);
}

bool TEmfPlayer::AffordStroke(const QRectF& DevBounds, uint64_t Points, double Width)
{
    // A line covers about its length times its width, not the area of its
    // bounds: a page of diagonal chart lines is cheap.
    const double w = std::max(1.0, Width);
    const QRectF seen = DevBounds.normalized().adjusted(-w / 2, -w / 2, w / 2, w / 2) & FVisible;
    if (!seen.isValid())
        return Charge(0, Points);
    return Charge(std::min(seen.width() * seen.height(), (seen.width() + seen.height()) * w), Points);
}

bool TEmfPlayer::Charge(double Area, uint64_t Points)
{
    const TEmfPlayLimits& limits = FOptions.Limits;
    FWork += limits.CallCost + Points * limits.PointCost + uint64_t(std::min(1e18, Area));
    if (FWork > FWorkBudget)
        FTooComplex = true;
    return !FTooComplex;
}

bool TEmfPlayer::AffordBitmap(const TEmfRecord& R)
{
    // The destination, where the record gives it in logical units.
    double x = 0, y = 0, w = 0, h = 0;
    switch (R.Type()) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
        if (R.Has(24, 16))
            x = R.I32(24), y = R.I32(28), w = R.I32(32), h = R.I32(36);
        break;
    case EMR_STRETCHDIBITS:
        if (R.Has(72, 8))
            x = R.I32(24), y = R.I32(28), w = R.I32(72), h = R.I32(76);
        break;
    default: break;
    }
    return Afford(FXform.mapRect(QRectF(x, y, w, h).normalized()));
}

bool TEmfPlayer::AffordGradient(const QRect& Area)
{
    FGradient += uint64_t(std::max(0, Area.width())) * uint64_t(std::max(0, Area.height()));
    if (FGradient > FGradientBudget)
        FTooComplex = true;
    return Afford(QRectF(Area));
}

bool TEmfPlayer::PathRoom(int64_t Elements)
{
    if (int64_t(FState.Path.elementCount()) + Elements <= FOptions.Limits.PathElements)
        return true;
    FTooComplex = true;
    return false;
}

TEmfPlayResult PlayEmf(QPainter& Painter, const QRectF& R, const TMetafile& Page, const TEmfPlayOptions& Options)
{
    if (Page.Empty() || !Painter.isActive() || R.isEmpty())
        return {};
    TEmfPlayer player(Painter, R, Page, Options);
    return player.Play();
}

TEmfPlayResult StretchDraw(QPainter& Painter, const QRectF& R, const TMetafile& Page, TEmfTextMode Text)
{
    TEmfPlayOptions options;
    options.Text = Text;
    return PlayEmf(Painter, R, Page, options);
}
