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

TEmfPlayer::TEmfPlayer(QPainter& Painter, const QRectF& Target, const TMetafile& Page)
    : FPainter(Painter), FPage(Page), FDevice(EmfReferenceDevice(Page.Header()))
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

    result.Records = 1;
    TEmfRecordWalker walker(data.data(), data.size(), headerSize);
    TEmfRecord r;
    while (walker.Next(r)) {
        ++result.Records;
        if (r.Type() == EMR_EOF) {
            result.ReachedEof = true;
            break;
        }
        if (!Dispatch(r)) {
            result.Damaged = true;
            break;
        }
    }
    if (walker.Damaged())
        result.Damaged = true;
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
        if (FState.InPath && FState.Path.elementCount() < EmfMaxPathElements)
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

TEmfPlayResult PlayEmf(QPainter& Painter, const QRectF& R, const TMetafile& Page)
{
    if (Page.Empty() || !Painter.isActive() || R.isEmpty())
        return {};
    TEmfPlayer player(Painter, R, Page);
    return player.Play();
}

void StretchDraw(QPainter& Painter, const QRectF& R, const TMetafile& Page)
{
    PlayEmf(Painter, R, Page);
}
