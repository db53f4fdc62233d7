// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the hardening tests share: qrptool as a child process, and the viewer
// opening a report.
#include <QByteArray>
#include <QString>
#include <QStringList>

struct TToolRun {
    int ExitCode = -1;
    QString Out, Err;
};

// qrptool with Args, its TMPDIR the current one; AsUser other than empty runs
// it as that user (for files the test's root cannot be refused).
TToolRun RunQrptool(const QStringList& Args, const QString& AsUser = QString());

struct TViewerRun {
    QStringList Messages; // error and other messages shown, in order
    int PreviewWindows = 0;
    bool MainWindowVisible = false;
};

// The viewer started with FileName on its command line, then every page of
// the opened report visited with the next-page button and drawn.
TViewerRun OpenInViewer(const QString& FileName);

// A fingerprint of a file's state: size, modification time and content (or,
// past 64 MiB, its first and last MiB).
QByteArray FileState(const QString& FileName);
