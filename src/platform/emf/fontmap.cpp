// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/fontmap.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

#include <initializer_list>
#include <mutex>

namespace {

struct FaceRule {
    const char* Windows;
    const char* Installed;
};

// Liberation is metric-compatible with the first three groups; the others
// follow fontconfig's choices on Debian (DejaVu for the Microsoft sans and
// UI faces).
const FaceRule Rules[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"arial unicode ms", "Liberation Sans"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
    {"consolas", "Liberation Mono"},
    {"ms sans serif", "DejaVu Sans"},
    {"microsoft sans serif", "DejaVu Sans"},
    {"ms shell dlg", "DejaVu Sans"},
    {"ms shell dlg 2", "DejaVu Sans"},
    {"tahoma", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},
    {"segoe ui", "DejaVu Sans"},
    {"calibri", "DejaVu Sans"},
    {"system", "DejaVu Sans"},
    {"ms serif", "DejaVu Serif"},
    {"symbol", "Standard Symbols PS"},
    {"cambria", "DejaVu Serif"},
    {"georgia", "DejaVu Serif"},
};

bool NameHas(const QString& Key, std::initializer_list<const char*> Words)
{
    for (const char* w : Words)
        if (Key.contains(QLatin1String(w)))
            return true;
    return false;
}

// A face with no stand-in of the same metrics: one of the same width class,
// so that its text keeps within the cells it was laid out for. The LOGFONT's
// pitch and family and the face's own name tell the class.
QString ByWidthClass(const QString& Key, uint8_t PitchAndFamily)
{
    const int pitch = PitchAndFamily & 0x3, family = PitchAndFamily & 0xF0;
    if (pitch == 1 || family == 0x30 || NameHas(Key, {"mono", "courier", "console", "fixed", "typewriter", "code"}))
        return QStringLiteral("Liberation Mono");
    if (NameHas(Key, {"narrow", "condensed", "cond", "compressed", "compact"}))
        return QStringLiteral("Liberation Sans Narrow");
    if (family == 0x10 || (NameHas(Key, {"serif", "roman", "times", "garamond", "book", "antiqua"}) &&
                           !Key.contains(QLatin1String("sans"))))
        return QStringLiteral("Liberation Serif");
    if (family == 0x20)
        return QStringLiteral("Liberation Sans");
    return QString();
}

QString Resolve(const QString& Face, uint8_t PitchAndFamily)
{
    const QString key = Face.trimmed().toLower();
    for (const FaceRule& r : Rules)
        if (key == QLatin1String(r.Windows))
            return QString::fromLatin1(r.Installed);
    if (key.isEmpty())
        return QStringLiteral("DejaVu Sans");
    if (QFontDatabase::hasFamily(Face.trimmed()))
        return Face.trimmed();
    const QString byWidth = ByWidthClass(key, PitchAndFamily);
    if (!byWidth.isEmpty())
        return byWidth;
    // Qt asks fontconfig for the substitute of an unknown family.
    QFont font(Face.trimmed());
    font.setStyleStrategy(QFont::NoFontMerging);
    const QString family = QFontInfo(font).family();
    return family.isEmpty() ? QStringLiteral("DejaVu Sans") : family;
}

} // namespace

QString MapFontFace(const QString& WindowsFace, uint8_t PitchAndFamily)
{
    static std::mutex lock;
    static QHash<QString, QString> cache;
    std::lock_guard<std::mutex> guard(lock);
    const QString key = WindowsFace + QLatin1Char('|') + QString::number(PitchAndFamily);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QString family = Resolve(WindowsFace, PitchAndFamily);
    cache.insert(key, family);
    return family;
}
