// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/xdgassociationstore.h"

#include "app/appresources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// True when Path now holds Content; an unchanged file is not rewritten.
bool WriteIfChanged(const QString& Path, const QByteArray& Content, bool& Changed)
{
    QFile current(Path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == Content)
        return true;
    if (!QDir().mkpath(QFileInfo(Path).absolutePath()))
        return false;
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Content) != Content.size() || !file.commit())
        return false;
    Changed = true;
    return true;
}

void RunDetachedIfPresent(const QString& Tool, const QString& Folder)
{
    const QString program = QStandardPaths::findExecutable(Tool);
    if (!program.isEmpty())
        QProcess::startDetached(program, {Folder});
}

} // namespace

TXdgAssociationStore::TXdgAssociationStore(QString DataHome, bool RefreshDatabases)
    : FDataHome(std::move(DataHome)), FRefresh(RefreshDatabases)
{
    if (FDataHome.isEmpty())
        FDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (FDataHome.isEmpty())
        FDataHome = QDir::homePath() + QLatin1String("/.local/share");
}

bool TXdgAssociationStore::Write(const TAssociationEntry& Entry)
{
    const QString key = Entry.Key();
    if (key.startsWith(QLatin1Char('.'))) {
        FExtension = key;
        FTypeName = Entry.Value;
    } else if (key.endsWith(QLatin1String("\\DefaultIcon"), Qt::CaseInsensitive)) {
        FIcon = Entry.Value;
    } else if (key.endsWith(QLatin1String("\\Shell\\Open\\Command"), Qt::CaseInsensitive)) {
        FCommand = Entry.Value;
    } else if (!key.contains(QLatin1Char('\\'))) {
        FComment = Entry.Value;
    } else {
        return false;
    }
    return true;
}

QString TXdgAssociationStore::MimeType() const
{
    return QLatin1String("application/x-") + FTypeName.toLower();
}

QString TXdgAssociationStore::IconName() const
{
    // "program,index": the desktop names icons, so the program's name
    // stands for the icon it carries.
    const QString program = FIcon.left(FIcon.lastIndexOf(QLatin1Char(',')));
    return QFileInfo(program.isEmpty() ? FIcon : program).completeBaseName();
}

QString TXdgAssociationStore::MimePackagePath() const
{
    return FDataHome + QLatin1String("/mime/packages/") + FTypeName.toLower() + QLatin1String(".xml");
}

QString TXdgAssociationStore::DesktopEntryPath() const
{
    return FDataHome + QLatin1String("/applications/") + IconName() + QLatin1String(".desktop");
}

QString TXdgAssociationStore::IconPath() const
{
    return FDataHome + QLatin1String("/icons/hicolor/scalable/apps/") + IconName() + QLatin1String(".svg");
}

QString TXdgAssociationStore::MimePackage() const
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    xml += QStringLiteral("  <mime-type type=\"%1\">\n").arg(MimeType().toHtmlEscaped());
    xml += QStringLiteral("    <comment>%1</comment>\n").arg(FComment.toHtmlEscaped());
    if (!FIcon.isEmpty())
        xml += QStringLiteral("    <icon name=\"%1\"/>\n").arg(IconName().toHtmlEscaped());
    // The desktop matches globs by case only when told to; both spellings
    // are listed for tools that do.
    xml += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(FExtension.toLower().toHtmlEscaped());
    xml += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(FExtension.toUpper().toHtmlEscaped());
    xml += QStringLiteral("  </mime-type>\n</mime-info>\n");
    return xml;
}

QString TXdgAssociationStore::DesktopEntry() const
{
    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Zendivo\n");
    entry += QLatin1String("Comment=") + FComment + QLatin1Char('\n');
    entry += QLatin1String("Exec=") + DesktopExecFromCommand(FCommand) + QLatin1Char('\n');
    if (!FIcon.isEmpty())
        entry += QLatin1String("Icon=") + IconName() + QLatin1Char('\n');
    // The viewer also shows bare EMF files; listing the type does not make
    // it their default handler.
    entry += QLatin1String("MimeType=") + MimeType() +
             QLatin1String(";image/emf;\nTerminal=false\nCategories=Office;Viewer;\n");
    return entry;
}

void TXdgAssociationStore::Close()
{
    bool mimeChanged = false, desktopChanged = false, iconChanged = false;
    if (!FExtension.isEmpty() && !FTypeName.isEmpty())
        WriteIfChanged(MimePackagePath(), MimePackage().toUtf8(), mimeChanged);
    if (!FCommand.isEmpty() && !FTypeName.isEmpty())
        WriteIfChanged(DesktopEntryPath(), DesktopEntry().toUtf8(), desktopChanged);
    InitAppResources();
    QFile icon(QStringLiteral(":/qrpview.svg"));
    if (!FIcon.isEmpty() && icon.open(QIODevice::ReadOnly))
        WriteIfChanged(IconPath(), icon.readAll(), iconChanged);
    if (!FRefresh)
        return;
    if (mimeChanged)
        RunDetachedIfPresent(QStringLiteral("update-mime-database"), FDataHome + QLatin1String("/mime"));
    if (desktopChanged)
        RunDetachedIfPresent(QStringLiteral("update-desktop-database"), FDataHome + QLatin1String("/applications"));
}
