// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fonts for text playback: the installed stand-in of a LOGFONT at a device
// pixel size, cached per thread since pages select the same few fonts.
#include <QRawFont>
#include <QString>

struct TEmfFont;

struct TEmfResolvedFont {
    QRawFont Raw;
    QString Family;
    int PixelSize = 0;    // em size in device pixels
    double Stretch = 1.0; // horizontal scale for a LOGFONT width
    bool Smoothed = true; // antialiased at this size; else one bit per pixel
    // GDI's, in whole device pixels at PixelSize; smoothed: exact, at the em of Raw
    double Ascent = 0, Descent = 0;
};

// Em size in device pixels of a LOGFONT height (negative: character
// height, positive: cell height) scaled by Scale device pixels per unit.
int EmfFontPixelSize(const QString& Family, int Weight, bool Italic, int LogicalHeight, double Scale);

// How the glyphs of a resolved font are drawn: as GDI draws them (greyscale
// except at the face's 'gasp' sizes), always one bit per pixel, or smoothed
// in greyscale with light (vertical only) hinting at any position.
enum class TEmfGlyphStyle { Gdi, Mono, Smooth };

// Smoothed false: glyphs of one bit per pixel, hinted for that. Light:
// vertical hinting only and greyscale coverage, never per colour channel.
QRawFont EmfRawFont(const QString& Family, int PixelSize, int Weight, bool Italic, bool Smoothed = true,
                    bool Light = false);

// Whether GDI smooths the face's glyphs at this em size: its 'gasp' table
// turns greyscale off for the sizes its hints were made for.
bool EmfSmoothedAt(const QRawFont& Font, int PixelSize);

// GDI's ascent and descent of the face at an em size of PixelSize, in
// whole pixels: its Windows metrics, else its horizontal header, rounded.
// (The font engine's own are rounded up.)
void EmfGdiAscentDescent(const QRawFont& Font, int PixelSize, double& Ascent, double& Descent);

// The ascent and descent of the face from the same tables at the font's
// own (fractional) size, unrounded.
void EmfExactAscentDescent(const QRawFont& Font, double& Ascent, double& Descent);

// The underline and strike-out of the face at the font's size: each bar's
// distance above the baseline (negative below) and its height, in whole
// pixels rounded as GDI rounds its outline metrics, from the face's post and
// OS/2 tables; the font engine's own figures where those are missing.
struct TEmfTextBars {
    double UnderPos = 0, UnderSize = 1, StrikePos = 0, StrikeSize = 1;
};
TEmfTextBars EmfTextBars(const QRawFont& Font);

// The face at PixelSize, one bit per pixel where GDI would draw it so.
QRawFont EmfRawFontAsGdiDraws(const QString& Family, int PixelSize, int Weight, bool Italic);

// The face at PixelSize drawn in Style; Smoothed tells whether its glyphs
// are greyscale.
QRawFont EmfRawFontIn(TEmfGlyphStyle Style, const QString& Family, int PixelSize, int Weight, bool Italic,
                      bool* Smoothed = nullptr);

TEmfResolvedFont EmfResolveFont(const TEmfFont& Font, double ScaleX, double ScaleY,
                                TEmfGlyphStyle Style = TEmfGlyphStyle::Gdi);
