#include "preview/qrhyperlinks.h"

#include "preview/previewgeometry.h"

#include <QDesktopServices>
#include <QUrl>

std::vector<TQRHyperlinkSourceRecord>& HyperlinkSources()
{
    static std::vector<TQRHyperlinkSourceRecord> sources;
    return sources;
}

int FindHyperlinkIndex(const std::vector<THyperlink>& Links, int X, int Y, int Zoom)
{
    const int px = UnzoomedCoordinate(X, Zoom);
    const int py = UnzoomedCoordinate(Y, Zoom);
    for (size_t i = 0; i < Links.size(); ++i) {
        const EmfRect& a = Links[i].Area;
        if (a.Left <= px && px <= a.Right && a.Top <= py && py <= a.Bottom)
            return static_cast<int>(i);
    }
    return -1;
}

bool DispatchToSource(TQRPrinter* Printer, const QString& Text)
{
    for (const TQRHyperlinkSourceRecord& source : HyperlinkSources()) {
        if (Text.startsWith(source.Signature, Qt::CaseSensitive)) {
            if (source.SourceMethod)
                source.SourceMethod(Printer, Text.mid(source.Signature.size()));
            return true;
        }
    }
    return false;
}

void ShellOpenLink(TQRPrinter*, const QString& Text)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(Text));
}

namespace {

// Only ASCII letters change case, so a prefix in another script never
// passes for "EXT:" or "INT:".
QString AsciiUpperPrefix(const QString& Link)
{
    QString prefix = Link.left(4);
    for (QChar& c : prefix) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return prefix;
}

} // namespace

void FollowHyperlink(TQRPrinter* Printer, const QString& Link)
{
    const QString prefix = AsciiUpperPrefix(Link);
    if (prefix == QLatin1String("EXT:"))
        ShellOpenLink(Printer, Link.mid(4));
    else if (prefix == QLatin1String("INT:"))
        DispatchToSource(Printer, Link.mid(4));
    else if (!DispatchToSource(Printer, Link))
        ShellOpenLink(Printer, Link);
}
