// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GDI objects a page creates and selects: pens, brushes, fonts.
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct TEmfPen {
    uint32_t Style = 0;   // PS_* bits: style, end cap, join, type
    int Width = 0;        // logical units; geometric pens only
    bool Cosmetic = true; // one device pixel whatever the mapping
    QColor Color = Qt::black;
    std::vector<double> UserDashes; // PS_USERSTYLE, logical units
    bool IsNull() const { return (Style & 0xF) == 5; }
};

struct TEmfBrush {
    enum Kind { Solid, Null, Hatched, Pattern };
    Kind Type = Solid;
    QColor Color = Qt::white;
    uint32_t Hatch = 0;
    QImage Image;      // pattern brushes
    bool Mono = false; // 1-bit pattern: takes the text and background colours
};

struct TEmfFont {
    int Height = 0, Width = 0, Escapement = 0, Orientation = 0, Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    uint8_t Charset = 1;
    uint8_t PitchAndFamily = 0;
    uint8_t Quality = 0; // NONANTIALIASED_QUALITY (3): never smoothed
    QString Face;
};

struct TEmfObject {
    enum Kind { None, Pen, Brush, Font, Other };
    Kind Type = None;
    std::shared_ptr<const TEmfPen> PenValue;
    std::shared_ptr<const TEmfBrush> BrushValue;
    std::shared_ptr<const TEmfFont> FontValue;
};

class TEmfRecord;
// The font of an EXTCREATEFONTINDIRECTW record; nullptr when the record is
// too short to hold one.
std::shared_ptr<TEmfFont> EmfReadFont(const TEmfRecord& R);

// GDI's stock objects (index without the high bit); None for unknown ones.
TEmfObject EmfStockObject(uint32_t Index);

// COLORREF (0x00BBGGRR) to a colour.
inline QColor EmfColor(uint32_t Ref)
{
    return QColor(int(Ref & 0xFF), int((Ref >> 8) & 0xFF), int((Ref >> 16) & 0xFF));
}
