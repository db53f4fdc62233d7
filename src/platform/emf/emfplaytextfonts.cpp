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

QRawFont EmfRawFont(const QString& Family, int PixelSize, int Weight, bool Italic)
{
    thread_local QHash<QString, QRawFont> cache;
    const QString key = Family + QLatin1Char('|') + QString::number(PixelSize) + QLatin1Char('|') +
                        QString::number(QtWeight(Weight)) + (Italic ? QLatin1String("|i") : QLatin1String("|r"));
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    QFont font(Family);
    font.setPixelSize(std::max(1, PixelSize));
    font.setWeight(QFont::Weight(QtWeight(Weight)));
    font.setItalic(Italic);
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setKerning(false);
    QRawFont raw = QRawFont::fromFont(font);
    cache.insert(key, raw);
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
    const double cell = ref.isValid() ? ref.ascent() + ref.descent() : 0;
    const double em = cell > 0 ? std::round(h) * 256.0 / cell : h;
    return int(std::clamp(std::round(em), 1.0, double(MaxPixelSize)));
}

TEmfResolvedFont EmfResolveFont(const TEmfFont& Font, double ScaleX, double ScaleY)
{
    TEmfResolvedFont r;
    r.Family = MapFontFace(Font.Face, Font.PitchAndFamily);
    r.PixelSize = EmfFontPixelSize(r.Family, Font.Weight, Font.Italic, Font.Height, ScaleY);
    r.Raw = EmfRawFont(r.Family, r.PixelSize, Font.Weight, Font.Italic);
    if (Font.Width != 0 && r.Raw.isValid()) {
        const double natural = r.Raw.averageCharWidth();
        const double wanted = std::fabs(Font.Width * ScaleX);
        if (natural > 0 && wanted > 0)
            r.Stretch = std::clamp(wanted / natural, 0.05, 20.0);
    }
    return r;
}
