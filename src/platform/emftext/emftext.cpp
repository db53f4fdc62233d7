// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emftext/emftext.h"

#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfplaymapping.h"
#include "platform/emf/emfplayobjects.h"
#include "platform/emf/emfplayreader.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emfrecords.h"
#include "platform/emf/emftextrecords.h"
#include "platform/emftext/glyphtext.h"
#include "platform/metafile.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr size_t MaxSaveDepth = 1024;

struct TDcState {
    TEmfMapping Mapping;
    QTransform World;
    std::shared_ptr<const TEmfFont> Font;
    uint32_t TextAlign = 0;
    QPointF CurPos;
};

QPointF Unit(QPointF V)
{
    const double len = std::hypot(V.x(), V.y());
    return len > 0 ? V / len : QPointF(1, 0);
}

class TTextWalker {
public:
    explicit TTextWalker(const TMetafile& Page)
        : FDevice(EmfReferenceDevice(Page.Header())),
          FInit(EmfFrameTransform(Page.Header(), QRectF(0, 0, Page.Width(), Page.Height())))
    {
        FState.Font = EmfStockObject(SYSTEM_FONT).FontValue;
        FObjects.resize(std::max<size_t>(1, Page.Header().nHandles));
        Update();
    }

    void Record(const TEmfRecord& R, std::vector<TEmfTextRun>& Out)
    {
        if (EmfMappingRecord(FState.Mapping, R, FDevice) || EmfWorldRecord(FState.World, R)) {
            Update();
            return;
        }
        switch (R.Type()) {
        case EMR_SAVEDC:
            if (FSaved.size() < MaxSaveDepth)
                FSaved.push_back(FState);
            return;
        case EMR_RESTOREDC: Restore(R.I32(8)); break;
        case EMR_SETTEXTALIGN: FState.TextAlign = R.U32(8); return;
        case EMR_MOVETOEX: FState.CurPos = QPointF(R.I32(8), R.I32(12)); return;
        case EMR_EXTCREATEFONTINDIRECTW: CreateFont(R); return;
        case EMR_SELECTOBJECT: Select(R.U32(8)); return;
        case EMR_DELETEOBJECT:
            if (R.U32(8) < FObjects.size())
                FObjects[R.U32(8)].reset();
            return;
        default:
            if (EmfIsTextRecord(R.Type()))
                Text(R, Out);
            return;
        }
        Update();
    }

private:
    void Update() { FXform = FState.World * EmfPageTransform(FState.Mapping) * FInit; }

    void Restore(int Level)
    {
        const int64_t depth = int64_t(FSaved.size());
        const int64_t target = Level < 0 ? depth + Level : int64_t(Level) - 1;
        if (Level == 0 || target < 0 || target >= depth)
            return;
        FState = std::move(FSaved[size_t(target)]);
        FSaved.resize(size_t(target));
    }

    void CreateFont(const TEmfRecord& R)
    {
        const uint32_t index = R.U32(8);
        if (index == 0 || index >= FObjects.size())
            return;
        if (std::shared_ptr<TEmfFont> f = EmfReadFont(R))
            FObjects[index] = std::move(f);
    }

    void Select(uint32_t Index)
    {
        if (Index & STOCK_OBJECT) {
            const TEmfObject o = EmfStockObject(Index & ~STOCK_OBJECT);
            if (o.Type == TEmfObject::Font)
                FState.Font = o.FontValue;
        } else if (Index < FObjects.size() && FObjects[Index]) {
            FState.Font = FObjects[Index];
        }
    }

    void Text(const TEmfRecord& R, std::vector<TEmfTextRun>& Out)
    {
        const TEmfFont& font = *FState.Font;
        for (TEmfTextString& s : EmfReadTextRecord(R, EmfCodePageForCharset(font.Charset))) {
            if (s.Text.isEmpty())
                continue;
            TEmfTextRun run;
            run.Text = EmfReadableText(s.Text, font.Face, font.Charset, s.GlyphIndexes);
            Place(s, run);
            Out.push_back(std::move(run));
        }
    }

    // Where the string sits on the page, as the player puts it.
    void Place(const TEmfTextString& S, TEmfTextRun& Run)
    {
        const TEmfFont& font = *FState.Font;
        const double sx = std::hypot(FXform.m11(), FXform.m12());
        const double sy = std::hypot(FXform.m21(), FXform.m22());
        // Em height: a negative LOGFONT height is the character height, a
        // positive one the cell, of which the em is about seven eighths.
        double em = font.Height == 0 ? 16.0 : std::fabs(font.Height * sy);
        if (font.Height > 0)
            em *= 0.87;
        Run.Ascent = em * 0.9;
        Run.Descent = em * 0.22;

        QPointF u = Unit(FXform.map(QPointF(1, 0)) - FXform.map(QPointF(0, 0)));
        if (FXform.type() <= QTransform::TxScale)
            u = QPointF(1, 0);
        if (font.Escapement % 3600) {
            const double a = font.Escapement / 10.0 * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
            u = QPointF(u.x() * c + u.y() * s, -u.x() * s + u.y() * c);
        }
        const QPointF v(-u.y(), u.x());
        Run.Direction = u;

        const int n = int(Run.Text.size());
        Run.Offsets.resize(size_t(n) + 1);
        double pos = 0;
        // Without advances, an average character width: the LOGFONT's when
        // it gives one, else half the em.
        const double average = font.Width ? std::fabs(font.Width * sx) : em * 0.5;
        const bool given = S.Advances.size() == size_t(n);
        double logicalTotal = 0;
        for (int i = 0; i < n; ++i) {
            Run.Offsets[size_t(i)] = float(pos);
            const double a = given ? S.Advances[size_t(i)] * sx : average;
            if (given)
                logicalTotal += S.Advances[size_t(i)];
            pos += std::isfinite(a) ? a : 0;
        }
        Run.Offsets[size_t(n)] = float(pos);
        if (!given && sx > 0)
            logicalTotal = pos / sx;

        const bool updateCp = FState.TextAlign & TA_UPDATECP;
        QPointF origin = FXform.map(updateCp ? FState.CurPos : S.Ref);
        const uint32_t halign = FState.TextAlign & TA_CENTER;
        if (halign == TA_CENTER)
            origin -= u * (pos / 2);
        else if (halign == TA_RIGHT)
            origin -= u * pos;
        const uint32_t valign = FState.TextAlign & TA_BASELINE;
        if (valign == TA_BOTTOM)
            origin -= v * Run.Descent;
        else if (valign != TA_BASELINE)
            origin += v * Run.Ascent;
        if (updateCp) {
            if (halign == TA_RIGHT)
                FState.CurPos.rx() -= logicalTotal;
            else if (halign != TA_CENTER)
                FState.CurPos.rx() += logicalTotal;
        }
        Run.Origin = origin;
    }

    TEmfDevice FDevice;
    QTransform FInit;
    QTransform FXform;
    TDcState FState;
    std::vector<TDcState> FSaved;
    std::vector<std::shared_ptr<const TEmfFont>> FObjects;
};

} // namespace

QRectF TEmfTextRun::CharBox(size_t I) const
{
    const double a = I < Offsets.size() ? Offsets[I] : 0;
    const double b = I + 1 < Offsets.size() ? Offsets[I + 1] : a;
    const QPointF v(-Direction.y(), Direction.x());
    if (Upright()) {
        const QPointF p = Origin + Direction * std::min(a, b);
        return QRectF(p.x(), p.y() - Ascent, std::fabs(b - a), Ascent + Descent);
    }
    const QPointF p0 = Origin + Direction * a, p1 = Origin + Direction * b;
    QPolygonF quad;
    quad << p0 - v * Ascent << p1 - v * Ascent << p1 + v * Descent << p0 + v * Descent;
    return quad.boundingRect();
}

QRectF TEmfTextRun::Bounds() const
{
    if (Offsets.empty())
        return QRectF(Origin, QSizeF(0, 0));
    const double lo = *std::min_element(Offsets.begin(), Offsets.end());
    const double hi = *std::max_element(Offsets.begin(), Offsets.end());
    const QPointF v(-Direction.y(), Direction.x());
    const QPointF p0 = Origin + Direction * lo, p1 = Origin + Direction * hi;
    QPolygonF quad;
    quad << p0 - v * Ascent << p1 - v * Ascent << p1 + v * Descent << p0 + v * Descent;
    return quad.boundingRect();
}

TEmfTextRuns EmfTextRuns(const TMetafile& Page)
{
    TEmfTextRuns result;
    const std::vector<uint8_t>& data = Page.Data();
    const uint32_t headerSize = Page.Header().nSize;
    if (data.size() < 8 || headerSize < 8 || headerSize > data.size()) {
        result.Damaged = !data.empty();
        return result;
    }
    TTextWalker walker(Page);
    TEmfRecordWalker records(data.data(), data.size(), headerSize);
    TEmfRecord r;
    while (records.Next(r)) {
        if (r.Type() == EMR_EOF)
            break;
        walker.Record(r, result.Runs);
    }
    result.Damaged = records.Damaged();
    return result;
}
