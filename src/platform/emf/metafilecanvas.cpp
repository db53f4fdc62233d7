// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/metafilecanvas.h"
#include "platform/emf/dib.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"
#include "platform/littleendian.h"
#include "platform/metafile.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int MillimetersX = 508; // 1920 px at 96 dpi
constexpr int MillimetersY = 286; // 1080 px at 96 dpi is 285.75 mm
constexpr int64_t MaxRecordedPixels = int64_t(1) << 26;

uint32_t FloatBits(float F)
{
    uint32_t bits;
    std::memcpy(&bits, &F, 4);
    return bits;
}

uint32_t ColorRef(const QColor& C)
{
    return uint32_t(C.red()) | uint32_t(C.green()) << 8 | uint32_t(C.blue()) << 16;
}

bool SamePen(const TPen& A, const TPen& B)
{
    return A.Color == B.Color && A.Width == B.Width && A.Style == B.Style;
}
bool SameBrush(const TBrush& A, const TBrush& B)
{
    return A.Color == B.Color && A.Style == B.Style;
}
bool SameFont(const TFont& A, const TFont& B)
{
    return A.Name == B.Name && A.Height == B.Height && A.Width == B.Width && A.Weight == B.Weight &&
           A.Italic == B.Italic && A.Underline == B.Underline && A.StrikeOut == B.StrikeOut &&
           A.Escapement == B.Escapement && A.Charset == B.Charset;
}

bool IsObject(uint32_t Handle)
{
    return Handle != 0 && !(Handle & 0x80000000u);
}

// Frame in 0.01 mm that TMetafile converts back to exactly Pixels.
int32_t FrameFor(int Pixels, int Millimeters, int Device)
{
    return int32_t(std::llround(double(Pixels) * Millimeters * 100.0 / Device));
}

} // namespace

QFont QFontFor(const TFont& Font)
{
    QFont f(Font.Name);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setWeight(QFont::Weight(std::clamp(Font.Weight <= 0 ? 400 : Font.Weight, 1, 1000)));
    f.setItalic(Font.Italic);
    f.setUnderline(Font.Underline);
    f.setStrikeOut(Font.StrikeOut);
    // Negative heights give the em size; positive ones the cell (ascent plus
    // descent), which GDI shrinks to the em size the face needs.
    const int h = std::clamp(Font.Height == 0 ? -12 : Font.Height, -16384, 16384);
    if (h < 0) {
        f.setPixelSize(-h);
    } else {
        f.setPixelSize(h);
        const QFontMetricsF m(f);
        const double cell = m.ascent() + m.descent();
        if (cell > 0)
            f.setPixelSize(std::max(1, int(std::lround(h * h / cell))));
    }
    return f;
}

std::vector<int> FontAdvances(const TFont& Font, const QString& Text)
{
    return FontAdvances(Font, Text, 1);
}

std::vector<int> FontAdvances(const TFont& Font, const QString& Text, int UnitsPerPixel)
{
    // Page production measures the same font over and over.
    thread_local std::optional<TFont> cachedFont;
    thread_local std::optional<QFontMetricsF> metrics;
    thread_local double scaleX = 1.0;
    if (!cachedFont || !SameFont(*cachedFont, Font)) {
        const QFont f = QFontFor(Font);
        metrics.emplace(f);
        scaleX = 1.0;
        if (Font.Width > 0 && metrics->averageCharWidth() > 0)
            scaleX = Font.Width / metrics->averageCharWidth();
        cachedFont = Font;
    }
    std::vector<int> out(size_t(Text.size()), 0);
    // Round the running pen position, not each advance, so that rounding
    // errors do not add up into uneven gaps along a line.
    double pen = 0;
    long placed = 0;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        double a;
        if (c.isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate())
            a = metrics->horizontalAdvance(Text.mid(i, 2));
        else if (c.isLowSurrogate() && i > 0 && Text[i - 1].isHighSurrogate())
            a = 0;
        else
            a = metrics->horizontalAdvance(c);
        pen += a * scaleX * UnitsPerPixel;
        const long next = std::lround(pen);
        out[size_t(i)] = int(next - placed);
        placed = next;
    }
    return out;
}

TMetafileCanvas::TMetafileCanvas(TMetafile& Target, int Width, int Height)
    : FTarget(Target), FWidth(std::max(1, Width)), FHeight(std::max(1, Height)), FHandleUsed(1, true)
{
    BeginRecord(EMR_HEADER);
    FData.resize(FData.size() + 100, 0); // filled in by Finish
    EndRecord();
}

TMetafileCanvas::~TMetafileCanvas()
{
    try {
        Finish();
    } catch (...) {
        // A destructor must not throw; the target simply stays as it was.
    }
}

void TMetafileCanvas::Finish()
{
    if (FFinished)
        return;
    Simple(EMR_EOF, {0, 16, 20});
    FFinished = true;

    auto field = [&](size_t Offset, uint32_t V) { PutLE32(FData.data() + Offset, V); };
    const QRect b = FBounds.isEmpty() ? QRect(0, 0, 0, 0) : FBounds;
    field(8, uint32_t(b.left()));
    field(12, uint32_t(b.top()));
    field(16, uint32_t(FBounds.isEmpty() ? -1 : b.right()));
    field(20, uint32_t(FBounds.isEmpty() ? -1 : b.bottom()));
    field(24, 0);
    field(28, 0);
    field(32, uint32_t(FrameFor(FWidth, MillimetersX, DeviceWidth)));
    field(36, uint32_t(FrameFor(FHeight, MillimetersY, DeviceHeight)));
    field(40, ENHMETA_SIGNATURE);
    field(44, 0x10000);
    field(48, uint32_t(FData.size()));
    field(52, FRecords);
    field(56, uint32_t(std::min<size_t>(FHandleUsed.size(), 0xFFFF)));
    field(72, DeviceWidth);
    field(76, DeviceHeight);
    field(80, MillimetersX);
    field(84, MillimetersY);
    field(100, 508000);
    field(104, 285750);
    FTarget.LoadFromBytes(std::move(FData));
    FData.clear();
}

void TMetafileCanvas::BeginRecord(uint32_t Type)
{
    // Text leaves the fine text units in place for the text that follows;
    // anything else is drawn in reference pixels again.
    static const uint32_t textState[] = {
        EMR_EXTTEXTOUTW,       EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_DELETEOBJECT,
        EMR_SETTEXTCOLOR,      EMR_SETTEXTALIGN,           EMR_SETBKMODE,    EMR_SETBKCOLOR,
        EMR_SETWORLDTRANSFORM, EMR_MODIFYWORLDTRANSFORM,   EMR_EOF};
    if (FTextUnits && std::find(std::begin(textState), std::end(textState), Type) == std::end(textState)) {
        FTextUnits = false;
        FRecordStart = FData.size();
        Put32(EMR_MODIFYWORLDTRANSFORM);
        Put32(0);
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        PutBytes(identity, sizeof identity);
        Put32(MWT_IDENTITY);
        EndRecord();
    }
    FRecordStart = FData.size();
    Put32(Type);
    Put32(0);
}

void TMetafileCanvas::EndRecord()
{
    FData.resize((FData.size() + 3) & ~size_t(3), 0);
    const uint32_t size = uint32_t(FData.size() - FRecordStart);
    PutLE32(FData.data() + FRecordStart + 4, size);
    ++FRecords;
}

void TMetafileCanvas::Put32(uint32_t V)
{
    uint8_t b[4];
    PutLE32(b, V);
    FData.insert(FData.end(), b, b + 4);
}

void TMetafileCanvas::PutRect(const QRect& R)
{
    Put32(uint32_t(R.left()));
    Put32(uint32_t(R.top()));
    Put32(uint32_t(R.left() + R.width()));
    Put32(uint32_t(R.top() + R.height()));
}

void TMetafileCanvas::PutBounds(const QRect& R)
{
    const QRect n = R.normalized();
    Put32(uint32_t(n.left()));
    Put32(uint32_t(n.top()));
    Put32(uint32_t(n.right()));
    Put32(uint32_t(n.bottom()));
}

void TMetafileCanvas::PutBytes(const void* Data, size_t Size)
{
    const uint8_t* p = static_cast<const uint8_t*>(Data);
    FData.insert(FData.end(), p, p + Size);
}

void TMetafileCanvas::Simple(uint32_t Type, std::initializer_list<uint32_t> Values)
{
    BeginRecord(Type);
    for (uint32_t v : Values)
        Put32(v);
    EndRecord();
}

uint32_t TMetafileCanvas::NewHandle()
{
    const auto free = std::find(FHandleUsed.begin() + 1, FHandleUsed.end(), false);
    if (free != FHandleUsed.end()) {
        *free = true;
        return uint32_t(free - FHandleUsed.begin());
    }
    FHandleUsed.push_back(true);
    return uint32_t(FHandleUsed.size() - 1);
}

void TMetafileCanvas::DeleteUnreferenced(uint32_t Handle)
{
    if (!IsObject(Handle) || Handle == FSel.Pen || Handle == FSel.Brush || Handle == FSel.Font)
        return;
    // An object the saved state still holds comes back at RestoreDC.
    if (FSaved && (Handle == FSaved->Pen || Handle == FSaved->Brush || Handle == FSaved->Font))
        return;
    Simple(EMR_DELETEOBJECT, {Handle});
    FHandleUsed[Handle] = false;
}

void TMetafileCanvas::Select(uint32_t& Current, uint32_t Handle)
{
    Simple(EMR_SELECTOBJECT, {Handle});
    const uint32_t old = Current;
    Current = Handle;
    DeleteUnreferenced(old);
}

void TMetafileCanvas::UseBackground()
{
    if (!FSel.HasBkMode || FSel.Transparent != Transparent) {
        Simple(EMR_SETBKMODE, {Transparent ? 1u : 2u});
        FSel.HasBkMode = true;
        FSel.Transparent = Transparent;
    }
    if (!Transparent && (!FSel.HasBkColor || FSel.BkColor != BackColor)) {
        Simple(EMR_SETBKCOLOR, {ColorRef(BackColor)});
        FSel.HasBkColor = true;
        FSel.BkColor = BackColor;
    }
}

void TMetafileCanvas::UsePen()
{
    UseBackground();
    if (IsObject(FSel.Pen) && SamePen(FSel.PenValue, Pen))
        return;
    const uint32_t h = NewHandle();
    Simple(EMR_CREATEPEN, {h, uint32_t(Pen.Style), uint32_t(std::max(0, Pen.Width)), 0, ColorRef(Pen.Color)});
    FSel.PenValue = Pen;
    Select(FSel.Pen, h);
}

void TMetafileCanvas::UseBrush()
{
    UseBackground();
    if (IsObject(FSel.Brush) && SameBrush(FSel.BrushValue, Brush))
        return;
    uint32_t style = 2, hatch = 0; // BS_HATCHED
    if (Brush.Style == bsSolid)
        style = 0;
    else if (Brush.Style == bsClear)
        style = 1;
    else
        hatch = uint32_t(Brush.Style);
    const uint32_t h = NewHandle();
    Simple(EMR_CREATEBRUSHINDIRECT, {h, style, ColorRef(Brush.Color), hatch});
    FSel.BrushValue = Brush;
    Select(FSel.Brush, h);
}

void TMetafileCanvas::UseFont()
{
    if (IsObject(FSel.Font) && SameFont(FSel.FontValue, Font))
        return;
    const uint32_t h = NewHandle();
    BeginRecord(EMR_EXTCREATEFONTINDIRECTW);
    Put32(h);
    // Fonts serve text only, which is recorded in text units.
    for (int64_t v : {int64_t(Font.Height) * TextUnits, int64_t(Font.Width) * TextUnits, int64_t(Font.Escapement),
                      int64_t(Font.Escapement), int64_t(Font.Weight)})
        Put32(uint32_t(int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX))));
    const uint8_t flags[8] = {
        uint8_t(Font.Italic), uint8_t(Font.Underline), uint8_t(Font.StrikeOut), uint8_t(Font.Charset), 0, 0, 0, 0};
    PutBytes(flags, 8);
    uint16_t face[32] = {};
    const QString name = Font.Name.left(31);
    for (qsizetype i = 0; i < name.size(); ++i)
        face[i] = name[i].unicode();
    for (uint16_t c : face)
        PutBytes(&c, 2);
    EndRecord();
    FSel.FontValue = Font;
    Select(FSel.Font, h);
}

void TMetafileCanvas::UseTextState()
{
    UseFont();
    UseBackground();
    if (!FSel.HasTextColor || FSel.TextColor != Font.Color) {
        Simple(EMR_SETTEXTCOLOR, {ColorRef(Font.Color)});
        FSel.HasTextColor = true;
        FSel.TextColor = Font.Color;
    }
    if (!FSel.HasAlign || FSel.Align != FTextAlign) {
        Simple(EMR_SETTEXTALIGN, {FTextAlign});
        FSel.HasAlign = true;
        FSel.Align = FTextAlign;
    }
}

void TMetafileCanvas::AddBounds(const QRect& R, bool Stroked)
{
    QRect r = R.normalized();
    if (Stroked) {
        const int w = std::max(1, Pen.Width);
        r.adjust(-w / 2, -w / 2, w - w / 2, w - w / 2);
    }
    FBounds = FBounds.isEmpty() ? r : FBounds.united(r);
}

void TMetafileCanvas::SetGraphicsMode(int Mode)
{
    FGraphicsMode = Mode == 2 ? 2 : 1;
}

void TMetafileCanvas::MoveTo(int X, int Y)
{
    if (FFinished)
        return;
    Simple(EMR_MOVETOEX, {uint32_t(X), uint32_t(Y)});
    FPos = QPoint(X, Y);
}

void TMetafileCanvas::LineTo(int X, int Y)
{
    if (FFinished)
        return;
    UsePen();
    Simple(EMR_LINETO, {uint32_t(X), uint32_t(Y)});
    AddBounds(QRect(FPos, QPoint(X, Y)), true);
    FPos = QPoint(X, Y);
}

void TMetafileCanvas::PolyRecord(uint32_t Type32, uint32_t Type16, const std::vector<QPoint>& Points)
{
    if (Points.empty() || Points.size() > 0x1FFFFFFF)
        return;
    int minX = Points[0].x(), maxX = minX, minY = Points[0].y(), maxY = minY;
    bool small = true;
    for (const QPoint& p : Points) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
        small = small && p.x() >= -32768 && p.x() <= 32767 && p.y() >= -32768 && p.y() <= 32767;
    }
    const QRect box(QPoint(minX, minY), QPoint(maxX, maxY));
    BeginRecord(small ? Type16 : Type32);
    PutBounds(box);
    Put32(uint32_t(Points.size()));
    for (const QPoint& p : Points) {
        if (small) {
            const uint16_t xy[2] = {uint16_t(p.x()), uint16_t(p.y())};
            PutBytes(xy, 4);
        } else {
            Put32(uint32_t(p.x()));
            Put32(uint32_t(p.y()));
        }
    }
    EndRecord();
    AddBounds(box, true);
}

void TMetafileCanvas::Polyline(const std::vector<QPoint>& Points)
{
    if (FFinished)
        return;
    UsePen();
    PolyRecord(EMR_POLYLINE, EMR_POLYLINE16, Points);
}

void TMetafileCanvas::Polygon(const std::vector<QPoint>& Points)
{
    if (FFinished)
        return;
    UsePen();
    UseBrush();
    PolyRecord(EMR_POLYGON, EMR_POLYGON16, Points);
}

void TMetafileCanvas::BoxRecord(uint32_t Type, const QRect& R)
{
    BeginRecord(Type);
    PutRect(R);
    EndRecord();
}

void TMetafileCanvas::Rectangle(const QRect& R)
{
    if (FFinished)
        return;
    UsePen();
    UseBrush();
    BoxRecord(EMR_RECTANGLE, R);
    AddBounds(R, false);
}

void TMetafileCanvas::FillRect(const QRect& R)
{
    if (FFinished || Brush.Style == bsClear)
        return;
    UseBrush();
    // A pattern blit without a source, as GDI records PatBlt: unlike a
    // pen-less Rectangle it fills exactly R at any playback scale.
    BeginRecord(EMR_BITBLT);
    PutBounds(R);
    for (int v : {R.left(), R.top(), R.width(), R.height()})
        Put32(uint32_t(v));
    Put32(PATCOPY);
    Put32(0);
    Put32(0);
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    PutBytes(identity, sizeof identity);
    for (int i = 0; i < 6; ++i) // background colour, usage, no bitmap
        Put32(0);
    EndRecord();
    AddBounds(R, false);
}

void TMetafileCanvas::RoundRect(const QRect& R, int CornerWidth, int CornerHeight)
{
    if (FFinished)
        return;
    UsePen();
    UseBrush();
    BeginRecord(EMR_ROUNDRECT);
    PutRect(R);
    Put32(uint32_t(CornerWidth));
    Put32(uint32_t(CornerHeight));
    EndRecord();
    AddBounds(R, false);
}

void TMetafileCanvas::Ellipse(const QRect& R)
{
    if (FFinished)
        return;
    UsePen();
    UseBrush();
    BoxRecord(EMR_ELLIPSE, R);
    AddBounds(R, false);
}

void TMetafileCanvas::SetTextAlign(unsigned Align)
{
    FTextAlign = Align;
}

std::vector<int> TMetafileCanvas::TextAdvances(const QString& Text)
{
    return FontAdvances(Font, Text);
}

void TMetafileCanvas::ExtTextOut(int X, int Y, unsigned Options, const QRect* R, const QString& Text,
                                 const std::vector<int>* Dx)
{
    if (FFinished || (Text.isEmpty() && !R) || Text.size() > 0x100000)
        return;
    if (!R)
        Options &= ~unsigned(ETO_OPAQUE | ETO_CLIPPED);
    // Advances in text units: the pen position is rounded to a sixteenth of
    // a reference pixel, well below a device pixel even at 600 dpi, so the
    // spacing stays even at print resolution.
    std::vector<int> dx = FontAdvances(Font, Text, TextUnits);
    if (Dx)
        for (size_t i = 0; i < std::min(Dx->size(), dx.size()); ++i)
            dx[i] = int(std::clamp<int64_t>(int64_t((*Dx)[i]) * TextUnits, INT32_MIN, INT32_MAX));
    UseTextState();
    if (!FTextUnits) {
        Simple(EMR_SETWORLDTRANSFORM, {FloatBits(1.0f / TextUnits), 0, 0, FloatBits(1.0f / TextUnits), 0, 0});
        FTextUnits = true;
    }

    // Bounds: the advances from the reference point, placed by the alignment.
    const QFontMetricsF m(QFontFor(Font));
    int64_t fine = 0;
    for (int a : dx)
        fine += a;
    const int64_t width = (fine + TextUnits - 1) / TextUnits;
    int64_t left = X, top = Y;
    if ((FTextAlign & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if (FTextAlign & TA_RIGHT)
        left -= width;
    if ((FTextAlign & TA_BASELINE) == TA_BASELINE)
        top -= int64_t(std::ceil(m.ascent()));
    else if (FTextAlign & TA_BOTTOM)
        top -= int64_t(std::ceil(m.height()));
    QRect box(int(std::clamp<int64_t>(left, INT32_MIN / 2, INT32_MAX / 2)),
              int(std::clamp<int64_t>(top, INT32_MIN / 2, INT32_MAX / 2)),
              int(std::clamp<int64_t>(width, 1, INT32_MAX / 2)), int(std::ceil(m.height())));
    if (R)
        box = (Options & ETO_CLIPPED) ? box.intersected(*R) : box.united(*R);

    const auto units = [](int64_t V) {
        return uint32_t(int32_t(std::clamp<int64_t>(V * TextUnits, INT32_MIN, INT32_MAX)));
    };
    const uint32_t n = uint32_t(Text.size());
    const uint32_t offString = 76;
    const uint32_t offDx = offString + ((n * 2 + 3) & ~3u);
    BeginRecord(EMR_EXTTEXTOUTW);
    PutBounds(box);
    Put32(uint32_t(FGraphicsMode));
    // Page units to 0.01 mm; readers use them in the compatible mode only.
    const float scale[2] = {FGraphicsMode == 2 ? 0.0f : MillimetersX * 100.0f / DeviceWidth / TextUnits,
                            FGraphicsMode == 2 ? 0.0f : MillimetersY * 100.0f / DeviceHeight / TextUnits};
    PutBytes(scale, 8);
    Put32(units(X));
    Put32(units(Y));
    Put32(n);
    Put32(offString);
    Put32(Options);
    if (R) {
        Put32(units(R->x()));
        Put32(units(R->y()));
        Put32(units(int64_t(R->x()) + R->width()));
        Put32(units(int64_t(R->y()) + R->height()));
    } else {
        PutRect(QRect(0, 0, 0, 0));
    }
    Put32(offDx);
    for (QChar c : Text) {
        const uint16_t u = c.unicode();
        PutBytes(&u, 2);
    }
    FData.resize(FRecordStart + offDx, 0);
    for (int a : dx)
        Put32(uint32_t(a));
    EndRecord();
    if (!box.isEmpty())
        AddBounds(box, false);
}

void TMetafileCanvas::RecordDib(const QRect& R, const QImage& Image)
{
    QImage img = Image;
    const int64_t pixels = int64_t(img.width()) * img.height();
    if (pixels > MaxRecordedPixels) { // keeps the record well inside 32-bit sizes
        const double f = std::sqrt(double(MaxRecordedPixels) / double(pixels));
        img = img.scaled(std::max(1, int(img.width() * f)), std::max(1, int(img.height() * f)), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
    }
    bool translucent = false;
    if (img.hasAlphaChannel()) {
        img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < img.height() && !translucent; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(line[x]) != 255) {
                    translucent = true;
                    break;
                }
        }
    }
    if (!translucent)
        img = img.convertToFormat(QImage::Format_RGB32);
    const TEncodedDib dib = EncodeDib(img);
    if (dib.Info.empty())
        return;
    const uint32_t cbBmi = uint32_t(dib.Info.size()), cbBits = uint32_t(dib.Bits.size());
    const uint32_t w = uint32_t(img.width()), h = uint32_t(img.height());
    if (translucent) {
        BeginRecord(EMR_ALPHABLEND);
        PutBounds(R);
        for (int v : {R.left(), R.top(), R.width(), R.height()})
            Put32(uint32_t(v));
        Put32(0x01FF0000); // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA
        Put32(0);
        Put32(0);
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        PutBytes(identity, sizeof identity);
        Put32(0); // background colour
        Put32(0); // DIB_RGB_COLORS
        Put32(108);
        Put32(cbBmi);
        Put32(108 + cbBmi);
        Put32(cbBits);
        Put32(w);
        Put32(h);
    } else {
        BeginRecord(EMR_STRETCHDIBITS);
        PutBounds(R);
        for (uint32_t v : {uint32_t(R.left()), uint32_t(R.top()), 0u, 0u, w, h, 80u, cbBmi, 80u + cbBmi, cbBits, 0u,
                           uint32_t(SRCCOPY), uint32_t(R.width()), uint32_t(R.height())})
            Put32(v);
    }
    PutBytes(dib.Info.data(), dib.Info.size());
    PutBytes(dib.Bits.data(), dib.Bits.size());
    EndRecord();
    AddBounds(R, false);
}

void TMetafileCanvas::StretchDraw(const QRect& R, const QImage& Image)
{
    if (FFinished || Image.isNull() || R.isEmpty())
        return;
    RecordDib(R, Image);
}

void TMetafileCanvas::StretchDraw(const QRect& R, const TMetafile& Page)
{
    if (FFinished || Page.Empty() || R.isEmpty())
        return;
    // 300 dpi keeps embedded text legible on paper; the cap keeps pages small.
    double scale = 300.0 / 96.0;
    const double area = double(R.width()) * R.height();
    scale = std::min(scale, std::sqrt(double(int64_t(1) << 22) / area));
    const int w = std::max(1, int(std::lround(R.width() * scale)));
    const int h = std::max(1, int(std::lround(R.height() * scale)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        ::StretchDraw(p, QRectF(0, 0, w, h), Page);
    }
    RecordDib(R, image);
}

void TMetafileCanvas::RestoreClipState()
{
    Simple(EMR_RESTOREDC, {uint32_t(-1)});
    const TSelected before = FSel;
    FSel = *FSaved;
    FSaved.reset();
    for (uint32_t h : {before.Pen, before.Brush, before.Font})
        DeleteUnreferenced(h);
    Simple(EMR_MOVETOEX, {uint32_t(FPos.x()), uint32_t(FPos.y())});
}

void TMetafileCanvas::SetClipRect(const QRect* R)
{
    if (FFinished)
        return;
    if (FSaved)
        RestoreClipState();
    if (!R)
        return;
    Simple(EMR_SAVEDC, {});
    FSaved = FSel;
    BeginRecord(EMR_INTERSECTCLIPRECT);
    PutRect(*R);
    EndRecord();
}
