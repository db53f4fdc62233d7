// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrhyperlinks.h"

#include "preview/previewgeometry.h"

#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
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

QUrl HyperlinkTarget(const QString& Link, const QString& ReportFolder)
{
    const QString text = Link.trimmed();
    if (text.isEmpty())
        return QUrl();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    // A drive letter ("C:\x") is a path written on Windows, not a scheme.
    if (scheme.isEmpty() || scheme.size() == 1) {
        const QString path = QString(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QUrl::fromLocalFile(QDir::cleanPath(QDir(ReportFolder).absoluteFilePath(path)));
    }
    if (!url.isValid())
        return QUrl();
    if (scheme == QLatin1String("file") || scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto"))
        return url;
    return QUrl();
}

void ShellOpenLink(TQRPrinter* Printer, const QString& Text)
{
    const QString folder = Printer && !Printer->FileName().isEmpty() ? QFileInfo(Printer->FileName()).absolutePath()
                                                                     : QDir::currentPath();
    const QUrl target = HyperlinkTarget(Text, folder);
    QWidget* owner = Printer ? Printer->PreviewControl() : nullptr;
    if (target.isEmpty()) {
        QMessageBox::warning(owner, QCoreApplication::translate("TQRHyperlinks", "Bağlantı"),
                             QCoreApplication::translate("TQRHyperlinks", "Bu bağlantı açılamaz: \"%1\". Yalnızca dosyalar ve http, https, "
                                            "mailto adresleri açılır.")
                                 .arg(Text));
        return;
    }
    QDesktopServices::openUrl(target);
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
