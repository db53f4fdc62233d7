// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/dib.h"
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfrecords.h"

namespace {

std::shared_ptr<const TEmfPen> StockPen(QColor Color, bool Null)
{
    auto p = std::make_shared<TEmfPen>();
    p->Color = Color;
    p->Style = Null ? PS_NULL : PS_SOLID;
    return p;
}

std::shared_ptr<const TEmfBrush> StockBrush(QColor Color, bool Null)
{
    auto b = std::make_shared<TEmfBrush>();
    b->Color = Color;
    b->Type = Null ? TEmfBrush::Null : TEmfBrush::Solid;
    return b;
}

std::shared_ptr<const TEmfFont> StockFont(const char* Face, int Height, int Weight)
{
    auto f = std::make_shared<TEmfFont>();
    f->Face = QString::fromLatin1(Face);
    f->Height = Height;
    f->Weight = Weight;
    return f;
}

} // namespace

TEmfObject EmfStockObject(uint32_t Index)
{
    static const std::shared_ptr<const TEmfBrush> brushes[] = {
        StockBrush(QColor(255, 255, 255), false), StockBrush(QColor(192, 192, 192), false),
        StockBrush(QColor(128, 128, 128), false), StockBrush(QColor(64, 64, 64), false),
        StockBrush(QColor(0, 0, 0), false),       StockBrush(QColor(0, 0, 0), true)};
    static const std::shared_ptr<const TEmfPen> pens[] = {StockPen(Qt::white, false), StockPen(Qt::black, false),
                                                          StockPen(Qt::black, true)};
    static const std::shared_ptr<const TEmfFont> systemFont = StockFont("System", 16, 700);
    static const std::shared_ptr<const TEmfFont> fixedFont = StockFont("Courier New", 16, 400);
    static const std::shared_ptr<const TEmfFont> varFont = StockFont("MS Sans Serif", 13, 400);
    static const std::shared_ptr<const TEmfFont> guiFont = StockFont("MS Shell Dlg", -11, 400);
    TEmfObject o;
    if (Index <= NULL_BRUSH) {
        o.Type = TEmfObject::Brush;
        o.BrushValue = brushes[Index];
    } else if (Index == DC_BRUSH) {
        o.Type = TEmfObject::Brush;
        o.BrushValue = brushes[0];
    } else if (Index >= WHITE_PEN && Index <= NULL_PEN) {
        o.Type = TEmfObject::Pen;
        o.PenValue = pens[Index - WHITE_PEN];
    } else if (Index == DC_PEN) {
        o.Type = TEmfObject::Pen;
        o.PenValue = pens[1];
    } else if (Index == SYSTEM_FONT || Index == DEVICE_DEFAULT_FONT) {
        o.Type = TEmfObject::Font;
        o.FontValue = systemFont;
    } else if (Index == OEM_FIXED_FONT || Index == ANSI_FIXED_FONT || Index == SYSTEM_FIXED_FONT) {
        o.Type = TEmfObject::Font;
        o.FontValue = fixedFont;
    } else if (Index == ANSI_VAR_FONT) {
        o.Type = TEmfObject::Font;
        o.FontValue = varFont;
    } else if (Index == DEFAULT_GUI_FONT) {
        o.Type = TEmfObject::Font;
        o.FontValue = guiFont;
    } else if (Index == DEFAULT_PALETTE) {
        o.Type = TEmfObject::Other;
    }
    return o;
}

void TEmfPlayer::ObjectRecord(const TEmfRecord& R)
{
    if (!R.Has(8, 4))
        return;
    switch (R.Type()) {
    case EMR_SELECTOBJECT: SelectObject(R.U32(8)); break;
    case EMR_DELETEOBJECT: {
        const uint32_t i = R.U32(8);
        if (i && i < FObjects.size())
            FObjects[i] = TEmfObject();
        break;
    }
    case EMR_CREATEPEN: CreatePen(R); break;
    case EMR_EXTCREATEPEN: ExtCreatePen(R); break;
    case EMR_CREATEBRUSHINDIRECT: CreateBrush(R); break;
    case EMR_CREATEDIBPATTERNBRUSHPT: CreatePatternBrush(R, false); break;
    case EMR_CREATEMONOBRUSH: CreatePatternBrush(R, true); break;
    case EMR_EXTCREATEFONTINDIRECTW: CreateFont(R); break;
    case EMR_CREATEPALETTE: {
        TEmfObject o;
        o.Type = TEmfObject::Other;
        StoreObject(R.U32(8), o);
        break;
    }
    default: break;
    }
}

bool TEmfPlayer::StoreObject(uint32_t Index, TEmfObject Object)
{
    // Index 0 stands for the page itself; an index beyond the header's handle
    // count fails in GDI too.
    if (Index == 0 || Index >= FObjects.size())
        return false;
    FObjects[Index] = std::move(Object);
    return true;
}

void TEmfPlayer::SelectObject(uint32_t Index)
{
    const TEmfObject* o = nullptr;
    TEmfObject stock;
    if (Index & STOCK_OBJECT) {
        stock = EmfStockObject(Index & ~STOCK_OBJECT);
        o = &stock;
    } else if (Index && Index < FObjects.size()) {
        o = &FObjects[Index];
    }
    if (!o)
        return;
    switch (o->Type) {
    case TEmfObject::Pen: FState.Pen = o->PenValue; break;
    case TEmfObject::Brush: FState.Brush = o->BrushValue; break;
    case TEmfObject::Font: FState.Font = o->FontValue; break;
    default: break;
    }
}

void TEmfPlayer::CreatePen(const TEmfRecord& R)
{
    if (!R.Has(8, 20))
        return;
    auto p = std::make_shared<TEmfPen>();
    // A pen of this kind always has round ends and joins: end cap and join
    // bits in its style are not read.
    p->Style = R.U32(12) & ~uint32_t(PS_ENDCAP_MASK | PS_JOIN_MASK);
    p->Width = R.I32(16);
    // Only a pen of width 0 is one pixel whatever the mapping; a pen one
    // unit wide grows with it. Wider ones with a dash or dot style are
    // drawn as solid lines.
    p->Cosmetic = p->Width <= 0;
    if (p->Width > 1 && (p->Style & PS_STYLE_MASK) >= PS_DASH && (p->Style & PS_STYLE_MASK) <= PS_DASHDOTDOT)
        p->Style &= ~uint32_t(PS_STYLE_MASK);
    p->Color = EmfColor(R.U32(24));
    TEmfObject o;
    o.Type = TEmfObject::Pen;
    o.PenValue = p;
    StoreObject(R.U32(8), o);
}

void TEmfPlayer::ExtCreatePen(const TEmfRecord& R)
{
    if (!R.Has(8, 44))
        return;
    auto p = std::make_shared<TEmfPen>();
    p->Style = R.U32(28);
    p->Width = int(R.U32(32));
    p->Cosmetic = (p->Style & PS_TYPE_MASK) == PS_COSMETIC || p->Width <= 0;
    if (p->Width < 0)
        p->Width = 1;
    const uint32_t brushStyle = R.U32(36);
    p->Color = EmfColor(R.U32(40));
    if (brushStyle == BS_NULL)
        p->Style = (p->Style & ~PS_STYLE_MASK) | PS_NULL;
    if ((p->Style & PS_STYLE_MASK) == PS_USERSTYLE) {
        const uint32_t n = R.U32(48);
        if (n && n <= 64 && R.HasArray(52, n, 4))
            for (uint32_t i = 0; i < n; ++i)
                p->UserDashes.push_back(R.U32(52 + 4 * i));
    }
    TEmfObject o;
    o.Type = TEmfObject::Pen;
    o.PenValue = p;
    StoreObject(R.U32(8), o);
}

void TEmfPlayer::CreateBrush(const TEmfRecord& R)
{
    if (!R.Has(8, 16))
        return;
    auto b = std::make_shared<TEmfBrush>();
    const uint32_t style = R.U32(12);
    b->Color = EmfColor(R.U32(16));
    b->Hatch = R.U32(20);
    switch (style) {
    case BS_SOLID: b->Type = TEmfBrush::Solid; break;
    case BS_HATCHED: b->Type = b->Hatch <= HS_DIAGCROSS ? TEmfBrush::Hatched : TEmfBrush::Solid; break;
    case BS_NULL: b->Type = TEmfBrush::Null; break;
    default: b->Type = TEmfBrush::Solid; break;
    }
    TEmfObject o;
    o.Type = TEmfObject::Brush;
    o.BrushValue = b;
    StoreObject(R.U32(8), o);
}

void TEmfPlayer::CreatePatternBrush(const TEmfRecord& R, bool Mono)
{
    if (!R.Has(8, 24))
        return;
    auto b = std::make_shared<TEmfBrush>();
    TDibOptions options;
    options.Usage = R.U32(12);
    TDibInfo info;
    QImage image = DecodeDibInRecord(R.Data(), R.Size(), R.U32(16), R.U32(20), R.U32(24), R.U32(28), options, &info);
    if (image.isNull()) {
        b->Type = TEmfBrush::Solid;
        b->Color = Qt::black;
    } else {
        b->Type = TEmfBrush::Pattern;
        b->Image = image;
        b->Mono = Mono || (info.BitCount == 1 && !info.HasColorTable);
    }
    TEmfObject o;
    o.Type = TEmfObject::Brush;
    o.BrushValue = b;
    StoreObject(R.U32(8), o);
}

std::shared_ptr<TEmfFont> EmfReadFont(const TEmfRecord& R)
{
    if (!R.Has(8, 32))
        return nullptr;
    auto f = std::make_shared<TEmfFont>();
    f->Height = R.I32(12);
    f->Width = R.I32(16);
    f->Escapement = R.I32(20);
    f->Orientation = R.I32(24);
    f->Weight = R.I32(28);
    f->Italic = R.U8(32);
    f->Underline = R.U8(33);
    f->StrikeOut = R.U8(34);
    f->Charset = R.U8(35);
    f->Quality = R.U8(38);
    f->PitchAndFamily = R.U8(39);
    for (size_t off = 40; off + 2 <= 104 && R.Has(off, 2); off += 2) {
        const uint16_t c = R.U16(off);
        if (!c)
            break;
        f->Face.append(QChar(c));
    }
    return f;
}

void TEmfPlayer::CreateFont(const TEmfRecord& R)
{
    std::shared_ptr<TEmfFont> f = EmfReadFont(R);
    if (!f)
        return;
    TEmfObject o;
    o.Type = TEmfObject::Font;
    o.FontValue = std::move(f);
    StoreObject(R.U32(8), o);
}
