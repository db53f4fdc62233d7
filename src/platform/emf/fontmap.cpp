#include "platform/emf/fontmap.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

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

QString Resolve(const QString& Face)
{
    const QString key = Face.trimmed().toLower();
    for (const FaceRule& r : Rules)
        if (key == QLatin1String(r.Windows))
            return QString::fromLatin1(r.Installed);
    if (key.isEmpty())
        return QStringLiteral("DejaVu Sans");
    if (QFontDatabase::hasFamily(Face.trimmed()))
        return Face.trimmed();
    // Qt asks fontconfig for the substitute of an unknown family.
    QFont font(Face.trimmed());
    font.setStyleStrategy(QFont::NoFontMerging);
    const QString family = QFontInfo(font).family();
    return family.isEmpty() ? QStringLiteral("DejaVu Sans") : family;
}

} // namespace

QString MapFontFace(const QString& WindowsFace)
{
    static std::mutex lock;
    static QHash<QString, QString> cache;
    std::lock_guard<std::mutex> guard(lock);
    auto it = cache.constFind(WindowsFace);
    if (it != cache.constEnd())
        return *it;
    QString family = Resolve(WindowsFace);
    cache.insert(WindowsFace, family);
    return family;
}
