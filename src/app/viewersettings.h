// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the viewer remembers between runs, in
// $XDG_CONFIG_HOME/qrpview/qrpview.conf (default ~/.config): the last
// preview window's geometry, the recently opened files and the archive
// search's folders, server and path mapping.
#include "archive/archivepathmap.h"

#include <QByteArray>
#include <QStringList>

constexpr int MaxRecentFiles = 10;

// Empty until a preview window was resized, moved or maximised.
QByteArray PreviewGeometry();
void SetPreviewGeometry(const QByteArray& Geometry);
bool PreviewMaximized();
void SetPreviewMaximized(bool Maximized);

// Newest first, at most MaxRecentFiles, without duplicates.
QStringList RecentFiles();
void AddRecentFile(const QString& FileName);

// Whether pages show text in GDI's own pixels ("Windows görünümü")
// rather than smoothed; off until the user turns it on.
bool GdiTextView();
void SetGdiTextView(bool On);

// The folders the archive search indexes, as the user added them.
QStringList ArchiveFolders();
void SetArchiveFolders(const QStringList& Folders);

// The shared index the archive search reads instead of the user's own: a
// postgresql:// URI or service=NAME; empty for the user's own index.
QString ArchiveServer();
void SetArchiveServer(const QString& Server);
// How this user reaches the server's report paths.
TArchivePathMap ArchivePathMap();
void SetArchivePathMap(const TArchivePathMap& Map);

// The folder of the last export, empty until the first one.
QString LastExportFolder();
void SetLastExportFolder(const QString& Folder);
