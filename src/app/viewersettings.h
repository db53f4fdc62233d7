// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the viewer remembers between runs, in
// $XDG_CONFIG_HOME/qrpview/qrpview.conf (default ~/.config): the last
// preview window's geometry, the recently opened files and the folders of
// the archive search.
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

// The folder of the last export, empty until the first one.
QString LastExportFolder();
void SetLastExportFolder(const QString& Folder);
