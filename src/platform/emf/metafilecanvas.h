// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that records what is drawn on it as an EMF page.
//
// The reference device is a 96-dpi screen (1920 x 1080 pixels), logical
// units are its pixels (MM_TEXT), and the frame is the page size asked for,
// so TMetafile::Width()/Height() of the result give that size back. The
// target metafile receives the page when the canvas is finished or
// destroyed.
//
// Text is recorded finer: its records, and the fonts, use TextUnits units
// per reference pixel under a world transform that scales them back, so
// that advances are not rounded to whole pixels of the 96-dpi device.
// Callers still give positions in reference pixels.
//
// Rectangles: a QRect(x, y, w, h) is the GDI rectangle (x, y, x + w, y + h),
// right and bottom exclusive, so it covers exactly the QRect's pixels.
#include "platform/emf/canvas.h"

#include <QFont>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

// The font GDI would select for Font, and the advances of Text in it: one
// per UTF-16 unit, rounded each to whole logical units as GDI's character
// widths are (the second unit of a surrogate pair advances 0).
QFont QFontFor(const TFont& Font);
std::vector<int> FontAdvances(const TFont& Font, const QString& Text);
// The same in UnitsPerPixel units per logical unit, the pen rounded to those.
std::vector<int> FontAdvances(const TFont& Font, const QString& Text, int UnitsPerPixel);

class TMetafileCanvas : public TCanvas {
public:
    TMetafileCanvas(TMetafile& Target, int Width, int Height);
    ~TMetafileCanvas() override; // finishes the page when not done yet

    // Writes the end-of-file record and hands the bytes to the target
    // metafile. Drawing afterwards is ignored.
    void Finish();
    bool Finished() const { return FFinished; }

    // EMF has no record of its own for it: the mode is written into each
    // text record (GM_COMPATIBLE = 1, GM_ADVANCED = 2).
    void SetGraphicsMode(int Mode);

    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void Polyline(const std::vector<QPoint>& Points) override;
    void Polygon(const std::vector<QPoint>& Points) override;
    void Rectangle(const QRect& R) override;
    void FillRect(const QRect& R) override;
    void RoundRect(const QRect& R, int CornerWidth, int CornerHeight) override;
    void Ellipse(const QRect& R) override;
    void SetTextAlign(unsigned Align) override;
    void ExtTextOut(int X, int Y, unsigned Options, const QRect* R, const QString& Text,
                    const std::vector<int>* Dx = nullptr) override;
    std::vector<int> TextAdvances(const QString& Text) override;
    // 24-bit EMR_STRETCHDIBITS; an image with transparent pixels becomes a
    // 32-bit EMR_ALPHABLEND so that what lies beneath stays visible.
    void StretchDraw(const QRect& R, const QImage& Image) override;
    // Recorded as a bitmap: the page is played into an image at up to
    // 300 dpi for R and drawn stretched.
    void StretchDraw(const QRect& R, const TMetafile& Page) override;
    void SetClipRect(const QRect* R) override;

    // Reference device of every recorded page.
    static constexpr int DeviceWidth = 1920, DeviceHeight = 1080;
    // Units of text records per reference pixel.
    static constexpr int TextUnits = 16;

private:
    struct TSelected {
        uint32_t Pen = 0, Brush = 0, Font = 0; // object indexes; 0 = none yet
        TPen PenValue;
        TBrush BrushValue;
        TFont FontValue;
        bool HasTextColor = false, HasBkMode = false, HasBkColor = false, HasAlign = false;
        QColor TextColor, BkColor;
        bool Transparent = true;
        unsigned Align = 0;
    };

    void BeginRecord(uint32_t Type);
    void EndRecord();
    void Put32(uint32_t V);
    void PutRect(const QRect& R);   // as GDI: left, top, right + 1, bottom + 1
    void PutBounds(const QRect& R); // inclusive, as record bounds are
    void PutBytes(const void* Data, size_t Size);
    void Simple(uint32_t Type, std::initializer_list<uint32_t> Values);

    // Bring the recorded device context up to the canvas's current objects.
    void UsePen();
    void UseBrush();
    void UseFont();
    void UseBackground();
    void UseTextState();
    void Select(uint32_t& Current, uint32_t Handle);
    uint32_t NewHandle();
    void DeleteUnreferenced(uint32_t Handle);
    void AddBounds(const QRect& R, bool Stroked);
    void PolyRecord(uint32_t Type32, uint32_t Type16, const std::vector<QPoint>& Points);
    void BoxRecord(uint32_t Type, const QRect& R);
    void RecordDib(const QRect& R, const QImage& Image);
    void RestoreClipState();

    TMetafile& FTarget;
    int FWidth, FHeight;
    std::vector<uint8_t> FData;
    size_t FRecordStart = 0;
    uint32_t FRecords = 0;
    bool FFinished = false;

    std::vector<bool> FHandleUsed; // index 0 stands for the metafile itself
    TSelected FSel;
    std::optional<TSelected> FSaved; // state at the SaveDC around the clip
    unsigned FTextAlign = 0;
    int FGraphicsMode = 1;
    QRect FBounds;           // device pixels; empty = nothing drawn yet
    QPoint FPos;             // current position, which RestoreDC puts back
    bool FTextUnits = false; // the world transform scales text units to pixels
};
