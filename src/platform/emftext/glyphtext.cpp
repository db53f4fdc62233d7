// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emftext/glyphtext.h"

#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfplaytextfonts.h"

#include <QGuiApplication>
#include <QHash>
#include <QRawFont>

namespace {

constexpr char16_t Unknown = 0xFFFD;

// Wingdings codes seen in reports (boxes, ticks, bullets, arrows, phones).
char16_t WingdingsChar(char16_t Code)
{
    // A table laid out by hand.
    // clang-format off
    switch (Code) {
    case 0x20: return 0x0020;
    case 0x21: return 0x270F; case 0x22: return 0x2702; case 0x28: return 0x260E; case 0x29: return 0x2706;
    case 0x2A: return 0x2709; case 0x3F: return 0x270D; case 0x4A: return 0x263A; case 0x4C: return 0x2639;
    case 0x6C: return 0x25CF; case 0x6E: return 0x25A0; case 0x6F: return 0x25A1; case 0x71: return 0x2751;
    case 0x72: return 0x2752; case 0x75: return 0x25C6; case 0x76: return 0x2756; case 0x77: return 0x2B25;
    case 0x9F: return 0x2022; case 0xA1: return 0x25CB; case 0xA7: return 0x25AA; case 0xA8: return 0x25FB;
    case 0xD8: return 0x27A2; case 0xDF: return 0x2190; case 0xE0: return 0x2192; case 0xE1: return 0x2191;
    case 0xE2: return 0x2193; case 0xE8: return 0x2794; case 0xEF: return 0x21E6; case 0xF0: return 0x21E8;
    case 0xFB: return 0x2717; case 0xFC: return 0x2713; case 0xFD: return 0x2612; case 0xFE: return 0x2611;
    default: return Unknown;
    }
    // clang-format on
}

bool IsPictureFace(const QString& Face)
{
    return Face.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive) ||
           Face.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0;
}

// Glyph index to character for one installed family, from the characters
// reports use (Latin, Greek, Cyrillic, punctuation, currency).
const QHash<quint32, char16_t>* ReverseCmap(const QString& Family)
{
    thread_local QHash<QString, QHash<quint32, char16_t>> cache;
    auto it = cache.find(Family);
    if (it != cache.end())
        return &*it;
    QHash<quint32, char16_t> map;
    // Indices only mean something in the face they were taken from, not in a
    // metric-compatible stand-in.
    const QRawFont raw = EmfRawFont(Family, 64, 400, false);
    if (raw.isValid() && raw.familyName().compare(Family, Qt::CaseInsensitive) == 0) {
        static const char16_t ranges[][2] = {{0x20, 0x24F},
                                             {0x370, 0x3FF},
                                             {0x400, 0x4FF},
                                             {0x2000, 0x20CF},
                                             {0x2100, 0x215F}};
        for (const auto& r : ranges)
            for (char16_t c = r[0]; c <= r[1]; ++c) {
                const QChar ch(c);
                quint32 g = 0;
                int n = 1;
                if (raw.glyphIndexesForChars(&ch, 1, &g, &n) && g && !map.contains(g))
                    map.insert(g, c);
            }
    }
    if (cache.size() > 64)
        cache.clear();
    return &*cache.insert(Family, std::move(map));
}

} // namespace

QString EmfReadableText(const QString& Text, const QString& Face, uint8_t Charset, bool GlyphIndexes)
{
    if (GlyphIndexes) {
        const QHash<quint32, char16_t>* map = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                                ? ReverseCmap(Face)
                                                : nullptr;
        QString out(Text.size(), QChar(Unknown));
        for (qsizetype i = 0; i < Text.size(); ++i)
            if (map)
                out[i] = QChar(map->value(Text[i].unicode(), Unknown));
        return out;
    }
    if (Face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return EmfSymbolToUnicode(Text);
    if (Charset != 2)
        return Text;
    QString out = Text;
    const bool picture = IsPictureFace(Face);
    for (QChar& c : out) {
        char16_t u = c.unicode();
        if (u >= 0xF020 && u <= 0xF0FF)
            u = char16_t(u - 0xF000); // the symbol cmap's private range
        c = QChar(picture && Face.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0 ? WingdingsChar(u)
                  : picture && u != 0x20                                                        ? Unknown
                                                                                                : u);
    }
    return out;
}
