// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The playback engine behind StretchDraw: one device context's state and a
// handler per record family. Implemented across emfplayer*.cpp.
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfplaymapping.h"
#include "platform/emf/emfplaypath.h"
#include "platform/emf/emfplayobjects.h"
#include "platform/emf/emfplayreader.h"
#include "platform/metafile.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRawFont>
#include <QRegion>
#include <QTransform>

#include <functional>
#include <memory>
#include <vector>

struct TDibInfo;
struct TDibSampling;
struct TDibSource;

// Limit against damaged pages: deeper saves are ignored.
constexpr size_t EmfMaxSaveDepth = 1024;
// Glyphs up to this many device pixels come from Qt's glyph cache.
constexpr int EmfLargestCachedGlyph = 64;

struct TEmfDcState {
    TEmfMapping Mapping;
    QTransform World;
    uint32_t GraphicsMode = 1; // GM_COMPATIBLE
    std::shared_ptr<const TEmfPen> Pen;
    std::shared_ptr<const TEmfBrush> Brush;
    std::shared_ptr<const TEmfFont> Font;
    QColor TextColor = Qt::black;
    QColor BkColor = Qt::white;
    uint32_t BkMode = 2; // OPAQUE
    uint32_t TextAlign = 0;
    uint32_t FillMode = 1; // ALTERNATE
    uint32_t Rop2 = 13;    // R2_COPYPEN
    uint32_t StretchMode = 1;
    bool Clockwise = false;
    QPointF CurPos;  // logical units
    QPoint BrushOrg; // device pixels: where pattern and hatch tiles start
    bool HasClip = false;
    QRegion Clip; // target device pixels
    TEmfPath Path;
    bool InPath = false;
};

class TEmfPlayer {
public:
    TEmfPlayer(QPainter& Painter, const QRectF& Target, const TMetafile& Page, const TEmfPlayOptions& Options);
    TEmfPlayResult Play();

private:
    // emfplayer.cpp: the loop, state, mapping
    bool Dispatch(const TEmfRecord& R);
    void StateRecord(const TEmfRecord& R);
    void MappingRecord(const TEmfRecord& R);
    void SaveDC();
    void RestoreDC(int Level);
    void UpdateTransform();
    QPointF DevF(double X, double Y) const { return FXform.map(QPointF(X, Y)); }
    QPoint Dev(double X, double Y) const;
    QPoint RoundPoint(QPointF Point) const;
    double ScaleX() const;
    double ScaleY() const;
    bool AxisAligned() const { return FXform.type() <= QTransform::TxScale; }
    QRect DevRect(double L, double T, double R, double B) const; // normalised, rounded
    // The work budget: a drawing call over DevBounds (device pixels) with
    // Points points; false, and the page too complex, once it is spent.
    bool Afford(const QRectF& DevBounds, uint64_t Points = 0);
    // A line Width pixels wide through points within DevBounds.
    bool AffordStroke(const QRectF& DevBounds, uint64_t Points, double Width);
    bool AffordGradient(const QRect& Area);
    bool AffordBitmap(const TEmfRecord& R);
    bool Charge(double Area, uint64_t Points);
    // False, and the page too complex, when the path would grow beyond its limit.
    bool PathRoom(int64_t Elements);

    // emfplayer_objects.cpp
    void ObjectRecord(const TEmfRecord& R);
    bool StoreObject(uint32_t Index, TEmfObject Object);
    void SelectObject(uint32_t Index);
    void CreatePen(const TEmfRecord& R);
    void ExtCreatePen(const TEmfRecord& R);
    void CreateBrush(const TEmfRecord& R);
    void CreatePatternBrush(const TEmfRecord& R, bool Mono);
    void CreateFont(const TEmfRecord& R);

    // emfplayer_draw.cpp: lines, shapes, curves and paths
    bool DrawRecord(const TEmfRecord& R);
    bool PolyRecord(const TEmfRecord& R);
    bool PolyPolyRecord(const TEmfRecord& R);
    bool PolyDraw(const TEmfRecord& R);
    void BoxRecord(const TEmfRecord& R);
    void ArcRecord(const TEmfRecord& R);
    void PathRecord(const TEmfRecord& R);
    bool PreparePen(QPen& Pen) const;
    bool PrepareBrush(QBrush& Brush) const;
    bool GapPen(const QPen& Pen, QPen& Gaps) const;
    // Draw() with the gaps of a dashed pen in the background colour where
    // the background is opaque, then with Pen.
    template <typename TDraw>
    void StrokeWithGaps(const QPen& Pen, TDraw&& Draw)
    {
        QPen gaps;
        if (GapPen(Pen, gaps)) {
            FPainter.setPen(gaps);
            Draw();
        }
        FPainter.setPen(Pen);
        Draw();
    }
    void BeginDraw();
    void FillPath(const QPainterPath& DevPath, bool Fill, bool Stroke);
    QPainterPath OnWholePixels(const QPainterPath& DevPath) const;
    QPointF HalfPixel(const QPen& Pen) const;
    void StrokeLine(QPointF From, QPointF To);
    void StrokePolyline(const QPolygonF& DevPoints);
    void AddFigure(const QPainterPath& DevPath, bool Closed);
    void LineToPath(QPointF Dev);

    // emfplayer_clip.cpp: clipping and regions
    void ClipRecord(const TEmfRecord& R);
    void RegionRecord(const TEmfRecord& R);
    bool ReadRegion(const TEmfRecord& R, size_t Offset, size_t Size, bool Logical, QRegion& Out) const;
    void CombineClip(const QRegion& Region, uint32_t Mode);
    void ApplyClip();
    QRegion DeviceBounds() const;
    void FloodFill(const TEmfRecord& R);

    // emfplayer_text.cpp
    void TextRecord(const TEmfRecord& R);
    // Rises: with ETO_PDY, each character's vertical advance (up positive).
    void DrawText(QPointF Ref, const QString& Stored, std::vector<double> Advances, uint32_t Options,
                  const QRectF* Rect, bool GlyphIndexes, bool HasAdvances, std::vector<double> Rises = {});
    // emfplayer_polytext.cpp
    void PolyTextRecord(const TEmfRecord& R);
    void AddTextToPath(const QRawFont& Font, const QVector<quint32>& Glyphs, int Count,
                       const std::vector<double>& DevAdvance, const QTransform& GlyphToDevice, double Stretch);
    // False where the run is too large to blend here.
    bool DrawGlyphsLikeGdi(const QGlyphRun& Run, const QTransform& ToDevice, const QColor& Colour);
    void FillGlyphOutlines(const QRawFont& Font, const QVector<quint32>& Glyphs, const QVector<QPointF>& Positions,
                           const QColor& Colour);

    // emfplayer_bitmaps.cpp
    void BitmapRecord(const TEmfRecord& R);
    void PlgBlt(const TEmfRecord& R);
    void MaskBlt(const TEmfRecord& R, double X, double Y, double W, double H, const TDibSource& Dib,
                 const QRectF& Source);
    // Blit of a DIB decoded only where, and as finely as, it shows; Prepare
    // adjusts the decoded pixels first.
    void BlitDib(double X, double Y, double W, double H, const TDibSource& Dib, const QRectF& Source, uint32_t Rop,
                 const std::function<void(QImage&, const TDibInfo&)>& Prepare = {});
    // Area cut to the device and the clips, in device pixels.
    QRect VisibleDeviceRect(const QRect& Area) const;
    // The pixels of Source whose places show, sampled as finely as the
    // device shows them; Taken is the part of the source they span.
    bool SampleAt(const QTransform& SourceToDevice, const QRectF& Source, const TDibInfo& Info, TDibSampling& Out,
                  QRectF& Taken) const;
    void SetDibitsToDevice(const TEmfRecord& R);
    void Blit(double X, double Y, double W, double H, const QImage& Image, QRectF Source, uint32_t Rop);
    bool TernaryBlit(double X, double Y, double W, double H, const QImage& Image, const QRectF& Source, uint32_t Rop);
    void FillDeviceArea(const QPolygonF& DevArea, uint32_t Rop);
    void GradientFill(const TEmfRecord& R);

    QPainter& FPainter;
    const TMetafile& FPage;
    QTransform FInit;  // reference-device pixels to target device pixels
    QTransform FXform; // logical units to target device pixels
    QTransform FBase;  // device pixels to the painter's coordinates
    TEmfDevice FDevice;
    TEmfDcState FState;
    std::vector<TEmfDcState> FSaved;
    std::vector<TEmfObject> FObjects;
    QRegion FCallerClip;
    bool FCallerHasClip = false;
    bool FClipDirty = false;
    bool FRasterOps = true;   // the paint engine honours raster operations
    bool FVectorText = false; // keep text as text (PDF, SVG)
    const TEmfPlayOptions& FOptions;
    QRectF FVisible; // device pixels the output shows
    uint64_t FWork = 0, FWorkBudget = 0;
    uint64_t FGradient = 0, FGradientBudget = 0;
    bool FTooComplex = false;
};
