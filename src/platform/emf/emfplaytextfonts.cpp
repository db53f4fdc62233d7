// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaytextfonts.h"

#include "platform/emf/emfplayobjects.h"
#include "platform/emf/fontmap.h"

#include <QFont>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int MaxPixelSize = 8192;

int QtWeight(int LogicalWeight)
{
    return LogicalWeight <= 0 ? 400 : std::clamp(LogicalWeight, 1, 1000);
}

// What GDI reads from a face's tables, in design units; the same at every
// size, so read once per face and thread.
struct TFaceTables {
    int UnitsPerEm = 0; // 0: no usable tables
    int Ascent = 0, Descent = 0;
    std::vector<std::pair<int, int>> Gasp; // (largest em size, flags), ascending
    bool HasUnderline = false, HasStrikeOut = false;
    int UnderlinePos = 0, UnderlineSize = 0; // post: position above the baseline
    int StrikeOutPos = 0, StrikeOutSize = 0; // OS/2
};

const TFaceTables& FaceTables(const QRawFont& Font)
{
    thread_local QHash<QString, TFaceTables> cache;
    const QString key = Font.familyName() + QLatin1Char('|') + Font.styleName() + QLatin1Char('|') +
                        QString::number(Font.weight()) + QLatin1Char('|') + QString::number(int(Font.style()));
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    TFaceTables t;
    auto u16 = [](const QByteArray& T, int At) { return (uint8_t(T[At]) << 8) | uint8_t(T[At + 1]); };
    const QByteArray head = Font.fontTable("head"), os2 = Font.fontTable("OS/2"), hhea = Font.fontTable("hhea");
    if (head.size() >= 20 && u16(head, 18) > 0) {
        if (os2.size() >= 78 && u16(os2, 74) + u16(os2, 76) > 0) {
            t.UnitsPerEm = u16(head, 18);
            t.Ascent = u16(os2, 74);
            t.Descent = u16(os2, 76);
        } else if (hhea.size() >= 8) {
            t.UnitsPerEm = u16(head, 18);
            t.Ascent = int16_t(u16(hhea, 4));
            t.Descent = -int16_t(u16(hhea, 6));
        }
    }
    const QByteArray post = Font.fontTable("post");
    if (post.size() >= 12) {
        t.HasUnderline = true;
        t.UnderlinePos = int16_t(u16(post, 8));
        t.UnderlineSize = int16_t(u16(post, 10));
    }
    if (os2.size() >= 30) {
        t.HasStrikeOut = true;
        t.StrikeOutSize = int16_t(u16(os2, 26));
        t.StrikeOutPos = int16_t(u16(os2, 28));
    }
    // gasp: version, count, then the pairs; flag 2 asks for greyscale.
    const QByteArray gasp = Font.fontTable("gasp");
    if (gasp.size() >= 4)
        for (int i = 0; i < u16(gasp, 2) && 8 + 4 * i <= gasp.size(); ++i)
            t.Gasp.emplace_back(u16(gasp, 4 + 4 * i), u16(gasp, 6 + 4 * i));
    return *cache.insert(key, t);
}

// Raw at an exact em size. A copy at another size is a font engine of its
// own, with glyph caches of its own: copies are kept per thread and shared,
// or every page would draw its glyphs afresh.
QRawFont AtEmSize(const QRawFont& Raw, double Em)
{
    thread_local QHash<QString, QRawFont> cache;
    const QString key = Raw.familyName() + QLatin1Char('|') + Raw.styleName() + QLatin1Char('|') +
                        QString::number(Raw.weight()) + QLatin1Char('|') + QString::number(int(Raw.style())) +
                        QLatin1Char('|') + QString::number(std::lround(Em * 64));
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    QRawFont sized = Raw;
    sized.setPixelSize(Em);
    cache.insert(key, sized);
    return sized;
}

} // namespace

QRawFont EmfRawFont(const QString& Family, int PixelSize, int Weight, bool Italic, bool Smoothed, bool Light)
{
    thread_local QHash<QString, QRawFont> cache;
    const QString key = Family + QLatin1Char('|') + QString::number(PixelSize) + QLatin1Char('|') +
                        QString::number(QtWeight(Weight)) + (Italic ? QLatin1String("|i") : QLatin1String("|r")) +
                        (Smoothed ? QLatin1String("") : QLatin1String("|m")) + (Light ? QLatin1String("|l") : QLatin1String(""));
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    QFont font(Family);
    font.setPixelSize(std::max(1, PixelSize));
    font.setWeight(QFont::Weight(QtWeight(Weight)));
    font.setItalic(Italic);
    font.setStyleStrategy(Smoothed ? QFont::NoFontMerging
                                   : QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoAntialias));
    if (Light && Smoothed) {
        // Light hinting keeps the outlines' widths, so glyphs can stand at
        // fractions of a pixel; one coverage for all channels, no fringes.
        font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoSubpixelAntialias));
        font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    font.setKerning(false);
    QRawFont raw = QRawFont::fromFont(font);
    cache.insert(key, raw);
    return raw;
}

bool EmfSmoothedAt(const QRawFont& Font, int PixelSize)
{
    for (const auto& [largest, flags] : FaceTables(Font).Gasp)
        if (PixelSize <= largest)
            return flags & 2;
    return true;
}

void EmfGdiAscentDescent(const QRawFont& Font, int PixelSize, double& Ascent, double& Descent)
{
    const TFaceTables& t = FaceTables(Font);
    if (t.UnitsPerEm <= 0) {
        Ascent = std::round(Font.ascent());
        Descent = std::round(Font.descent());
        return;
    }
    Ascent = std::floor(double(t.Ascent) * PixelSize / t.UnitsPerEm + 0.5);
    Descent = std::floor(double(t.Descent) * PixelSize / t.UnitsPerEm + 0.5);
}

void EmfExactAscentDescent(const QRawFont& Font, double& Ascent, double& Descent)
{
    const TFaceTables& t = FaceTables(Font);
    if (t.UnitsPerEm <= 0) {
        Ascent = Font.ascent();
        Descent = Font.descent();
        return;
    }
    Ascent = double(t.Ascent) * Font.pixelSize() / t.UnitsPerEm;
    Descent = double(t.Descent) * Font.pixelSize() / t.UnitsPerEm;
}

TEmfTextBars EmfTextBars(const QRawFont& Font)
{
    const TFaceTables& t = FaceTables(Font);
    const double scale = t.UnitsPerEm > 0 ? Font.pixelSize() / t.UnitsPerEm : 0;
    // GDI keeps its metrics in 1/64 pixel and rounds them half up.
    auto px = [scale](int Units) { return std::floor(Units * scale + 0.5); };
    TEmfTextBars b;
    if (scale > 0 && t.HasUnderline) {
        b.UnderPos = px(t.UnderlinePos);
        b.UnderSize = px(t.UnderlineSize);
    } else {
        b.UnderPos = -std::round(Font.underlinePosition());
        b.UnderSize = std::round(Font.lineThickness());
    }
    if (scale > 0 && t.HasStrikeOut) {
        b.StrikePos = px(t.StrikeOutPos);
        b.StrikeSize = px(t.StrikeOutSize);
    } else {
        b.StrikePos = std::round(Font.xHeight() / 2);
        b.StrikeSize = b.UnderSize;
    }
    return b;
}

QRawFont EmfRawFontAsGdiDraws(const QString& Family, int PixelSize, int Weight, bool Italic)
{
    const QRawFont smooth = EmfRawFont(Family, PixelSize, Weight, Italic);
    return smooth.isValid() && !EmfSmoothedAt(smooth, PixelSize) ? EmfRawFont(Family, PixelSize, Weight, Italic, false)
                                                                 : smooth;
}

QRawFont EmfRawFontIn(TEmfGlyphStyle Style, const QString& Family, int PixelSize, int Weight, bool Italic,
                      bool* Smoothed)
{
    QRawFont raw;
    switch (Style) {
    case TEmfGlyphStyle::Gdi:
        raw = EmfRawFontAsGdiDraws(Family, PixelSize, Weight, Italic);
        break;
    case TEmfGlyphStyle::Mono:
        raw = EmfRawFont(Family, PixelSize, Weight, Italic, false);
        break;
    case TEmfGlyphStyle::Smooth:
        raw = EmfRawFont(Family, PixelSize, Weight, Italic, true, true);
        break;
    }
    if (Smoothed)
        *Smoothed = Style == TEmfGlyphStyle::Smooth   ? true
                    : Style == TEmfGlyphStyle::Mono ? false
                                                    : raw.isValid() && EmfSmoothedAt(raw, PixelSize);
    return raw;
}

int EmfFontPixelSize(const QString& Family, int Weight, bool Italic, int LogicalHeight, double Scale)
{
    if (LogicalHeight == 0)
        return 16;
    const double h = std::fabs(double(LogicalHeight) * Scale);
    if (LogicalHeight < 0)
        return int(std::clamp(std::round(h), 1.0, double(MaxPixelSize)));
    // A positive height is the cell (ascent plus descent), which the face's
    // own proportions turn into an em size.
    const QRawFont ref = EmfRawFont(Family, 256, Weight, Italic);
    double ascent = 0, descent = 0;
    if (ref.isValid())
        EmfGdiAscentDescent(ref, 256, ascent, descent);
    const double cell = ascent + descent;
    const double em = cell > 0 ? std::round(h) * 256.0 / cell : h;
    return int(std::clamp(std::round(em), 1.0, double(MaxPixelSize)));
}

TEmfResolvedFont EmfResolveFont(const TEmfFont& Font, double ScaleX, double ScaleY, TEmfGlyphStyle Style)
{
    // Text records repeat the same few fonts at the same scale.
    struct TRecent {
        TEmfFont Font;
        double ScaleX, ScaleY;
        TEmfGlyphStyle Style;
        TEmfResolvedFont Resolved;
    };
    thread_local std::vector<TRecent> recent;
    for (const TRecent& e : recent)
        if (e.Style == Style && e.ScaleX == ScaleX && e.ScaleY == ScaleY && e.Font.Height == Font.Height && e.Font.Width == Font.Width &&
            e.Font.Weight == Font.Weight && e.Font.Italic == Font.Italic &&
            e.Font.PitchAndFamily == Font.PitchAndFamily && e.Font.Face == Font.Face)
            return e.Resolved;
    TEmfResolvedFont r;
    r.Family = MapFontFace(Font.Face, Font.PitchAndFamily);
    r.PixelSize = EmfFontPixelSize(r.Family, Font.Weight, Font.Italic, Font.Height, ScaleY);
    r.Raw = EmfRawFontIn(Style, r.Family, r.PixelSize, Font.Weight, Font.Italic, &r.Smoothed);
    // Smoothed glyphs take the exact em size of a character height, not
    // GDI's whole pixels, so that their shapes match the page's proportions.
    const double exactEm = std::fabs(double(Font.Height) * ScaleY);
    if (Style == TEmfGlyphStyle::Smooth && Font.Height < 0 && r.Raw.isValid() && exactEm >= 1 &&
        exactEm <= MaxPixelSize && std::fabs(exactEm - r.PixelSize) > 0.01)
        r.Raw = AtEmSize(r.Raw, exactEm);
    // Their ascent is that of the exact em too: one taken from the whole
    // pixels' em put text aligned at its top up to two pixels off at 144 dpi.
    if (r.Raw.isValid() && Style == TEmfGlyphStyle::Smooth)
        EmfExactAscentDescent(r.Raw, r.Ascent, r.Descent);
    else if (r.Raw.isValid())
        EmfGdiAscentDescent(r.Raw, r.PixelSize, r.Ascent, r.Descent);
    if (Font.Width != 0 && r.Raw.isValid()) {
        const double natural = r.Raw.averageCharWidth();
        const double wanted = std::fabs(Font.Width * ScaleX);
        if (natural > 0 && wanted > 0)
            r.Stretch = std::clamp(wanted / natural, 0.05, 20.0);
    }
    if (recent.size() >= 16)
        recent.erase(recent.begin());
    recent.push_back({Font, ScaleX, ScaleY, Style, r});
    return r;
}
