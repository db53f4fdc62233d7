#include "platform/emf/emfplaytextfonts.h"

#include "platform/emf/emfplayobjects.h"
#include "platform/emf/fontmap.h"

#include <QFont>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxPixelSize = 8192;

int QtWeight(int LogicalWeight)
{
    return LogicalWeight <= 0 ? 400 : std::clamp(LogicalWeight, 1, 1000);
}


} // namespace

QRawFont EmfRawFont(const QString& Family, int PixelSize, int Weight, bool Italic, bool Smoothed)
{
    thread_local QHash<QString, QRawFont> cache;
    const QString key = Family + QLatin1Char('|') + QString::number(PixelSize) + QLatin1Char('|') +
                        QString::number(QtWeight(Weight)) + (Italic ? QLatin1String("|i") : QLatin1String("|r")) +
                        (Smoothed ? QLatin1String("") : QLatin1String("|m"));
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
    font.setKerning(false);
    QRawFont raw = QRawFont::fromFont(font);
    cache.insert(key, raw);
    return raw;
}

bool EmfSmoothedAt(const QRawFont& Font, int PixelSize)
{
    // gasp: version, count, then (largest em size, flags) pairs in
    // ascending order; flag 2 asks for greyscale.
    const QByteArray gasp = Font.fontTable("gasp");
    const auto* d = reinterpret_cast<const uint8_t*>(gasp.constData());
    auto u16 = [d](int At) { return (d[At] << 8) | d[At + 1]; };
    if (gasp.size() < 4)
        return true;
    const int count = u16(2);
    for (int i = 0; i < count && 8 + 4 * i <= gasp.size(); ++i)
        if (PixelSize <= u16(4 + 4 * i))
            return u16(6 + 4 * i) & 2;
    return true;
}

void EmfGdiAscentDescent(const QRawFont& Font, int PixelSize, double& Ascent, double& Descent)
{
    Ascent = std::round(Font.ascent());
    Descent = std::round(Font.descent());
    const QByteArray head = Font.fontTable("head"), os2 = Font.fontTable("OS/2"), hhea = Font.fontTable("hhea");
    auto u16 = [](const QByteArray& T, int At) { return (uint8_t(T[At]) << 8) | uint8_t(T[At + 1]); };
    if (head.size() < 20)
        return;
    const int unitsPerEm = u16(head, 18);
    if (unitsPerEm <= 0)
        return;
    double ascent = 0, descent = 0;
    if (os2.size() >= 78 && u16(os2, 74) + u16(os2, 76) > 0) {
        ascent = u16(os2, 74);
        descent = u16(os2, 76);
    } else if (hhea.size() >= 8) {
        ascent = int16_t(u16(hhea, 4));
        descent = -int16_t(u16(hhea, 6));
    } else {
        return;
    }
    Ascent = std::floor(ascent * PixelSize / unitsPerEm + 0.5);
    Descent = std::floor(descent * PixelSize / unitsPerEm + 0.5);
}

QRawFont EmfRawFontAsGdiDraws(const QString& Family, int PixelSize, int Weight, bool Italic)
{
    const QRawFont smooth = EmfRawFont(Family, PixelSize, Weight, Italic);
    return smooth.isValid() && !EmfSmoothedAt(smooth, PixelSize) ? EmfRawFont(Family, PixelSize, Weight, Italic, false)
                                                                 : smooth;
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

TEmfResolvedFont EmfResolveFont(const TEmfFont& Font, double ScaleX, double ScaleY)
{
    TEmfResolvedFont r;
    r.Family = MapFontFace(Font.Face, Font.PitchAndFamily);
    r.PixelSize = EmfFontPixelSize(r.Family, Font.Weight, Font.Italic, Font.Height, ScaleY);
    r.Raw = EmfRawFontAsGdiDraws(r.Family, r.PixelSize, Font.Weight, Font.Italic);
    if (Font.Width != 0 && r.Raw.isValid()) {
        const double natural = r.Raw.averageCharWidth();
        const double wanted = std::fabs(Font.Width * ScaleX);
        if (natural > 0 && wanted > 0)
            r.Stretch = std::clamp(wanted / natural, 0.05, 20.0);
    }
    return r;
}
