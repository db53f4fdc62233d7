// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewersettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString GeometryKey = QStringLiteral("preview/geometry");
const QString MaximizedKey = QStringLiteral("preview/maximized");
const QString RecentKey = QStringLiteral("recent/files");
const QString ArchiveKey = QStringLiteral("archive/folders");
const QString GdiTextKey = QStringLiteral("preview/gditext");
const QString ExportFolderKey = QStringLiteral("export/folder");
const QString ServerKey = QStringLiteral("archive/server");
const QString PathMapKey = QStringLiteral("archive/pathmap");

// The path is looked up on every use so that XDG_CONFIG_HOME set later
// (by a test, say) is honoured.
QString SettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/qrpview/qrpview.conf");
}

} // namespace

QByteArray PreviewGeometry()
{
    return QSettings(SettingsFile(), QSettings::IniFormat).value(GeometryKey).toByteArray();
}

void SetPreviewGeometry(const QByteArray& Geometry)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(GeometryKey, Geometry);
}

bool PreviewMaximized()
{
    return QSettings(SettingsFile(), QSettings::IniFormat).value(MaximizedKey, false).toBool();
}

void SetPreviewMaximized(bool Maximized)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(MaximizedKey, Maximized);
}

QStringList RecentFiles()
{
    QStringList files = QSettings(SettingsFile(), QSettings::IniFormat).value(RecentKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, MaxRecentFiles);
}

void AddRecentFile(const QString& FileName)
{
    const QString path = QFileInfo(FileName).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(RecentKey, files.mid(0, MaxRecentFiles));
}

bool GdiTextView()
{
    return QSettings(SettingsFile(), QSettings::IniFormat).value(GdiTextKey, false).toBool();
}

void SetGdiTextView(bool On)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(GdiTextKey, On);
}

QStringList ArchiveFolders()
{
    QStringList folders = QSettings(SettingsFile(), QSettings::IniFormat).value(ArchiveKey).toStringList();
    folders.removeAll(QString());
    return folders;
}

void SetArchiveFolders(const QStringList& Folders)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(ArchiveKey, Folders);
}

QString LastExportFolder()
{
    return QSettings(SettingsFile(), QSettings::IniFormat).value(ExportFolderKey).toString();
}

void SetLastExportFolder(const QString& Folder)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(ExportFolderKey, Folder);
}

QString ArchiveServer()
{
    return QSettings(SettingsFile(), QSettings::IniFormat).value(ServerKey).toString().trimmed();
}

void SetArchiveServer(const QString& Server)
{
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(ServerKey, Server.trimmed());
}

TArchivePathMap ArchivePathMap()
{
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    std::vector<TArchivePathMap::TPair> pairs;
    const int n = settings.beginReadArray(PathMapKey);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        pairs.push_back({settings.value(QStringLiteral("server")).toString(),
                         settings.value(QStringLiteral("local")).toString()});
    }
    settings.endArray();
    return TArchivePathMap(pairs);
}

void SetArchivePathMap(const TArchivePathMap& Map)
{
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.remove(PathMapKey);
    settings.beginWriteArray(PathMapKey, int(Map.Pairs().size()));
    for (int i = 0; i < int(Map.Pairs().size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("server"), Map.Pairs()[size_t(i)].Server);
        settings.setValue(QStringLiteral("local"), Map.Pairs()[size_t(i)].Local);
    }
    settings.endArray();
}
