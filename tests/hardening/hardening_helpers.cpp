// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardening_helpers.h"

#include "../app/dialog_recorder.h"
#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "preview/qrpreview.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdlib>

TToolRun RunQrptool(const QStringList& Args, const QString& AsUser)
{
    const QString tool = QStringLiteral(QRP_BINARY_DIR "/src/tools/qrptool");
    QProcess p;
    if (AsUser.isEmpty()) {
        p.start(tool, Args);
    } else {
        p.start(QStringLiteral("setpriv"),
                QStringList{"--reuid=" + AsUser, "--regid=" + AsUser, "--clear-groups", tool} + Args);
    }
    TToolRun run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        run.Err = QStringLiteral("qrptool did not finish within a minute");
        return run;
    }
    run.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.Out = QString::fromUtf8(p.readAllStandardOutput());
    run.Err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

namespace {

QList<TfrmZozEdezaPreview*> PreviewWindows()
{
    return TfrmZozEdezaPreview::OpenWindows();
}

} // namespace

TViewerRun OpenInViewer(const QString& FileName)
{
    // Beside the temporary folder, not in it: that one must stay empty.
    QTemporaryDir dataHome(QDir::cleanPath(QString::fromLocal8Bit(qgetenv("TMPDIR")) + "/../xdg-XXXXXX"));
    const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    TViewerRun run;
    {
        TDialogRecorder dialogs;
        Tfrmzizarud w({FileName});
        w.show();
        QCoreApplication::processEvents();
        for (TfrmZozEdezaPreview* preview : PreviewWindows()) {
            const int pages = w.QRPrinter() ? w.QRPrinter()->PageCount() : 0;
            for (int n = 1; n <= pages; ++n) {
                preview->grab();
                preview->btnNextPage->click();
                QCoreApplication::processEvents();
            }
        }
        run.PreviewWindows = PreviewWindows().size();
        run.MainWindowVisible = w.isVisible();
        run.Messages = dialogs.Messages;
        qDeleteAll(PreviewWindows());
    }
    qputenv("XDG_DATA_HOME", savedHome);
    return run;
}

QByteArray FileState(const QString& FileName)
{
    const QFileInfo info(FileName);
    QByteArray state = QByteArray::number(info.size()) + ' ' +
                       QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' ' +
                       QByteArray::number(int(info.permissions()), 16) + ' ';
    QFile f(FileName);
    if (info.isFile() && f.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        constexpr qint64 MiB = 1 << 20;
        if (f.size() <= 64 * MiB) {
            hash.addData(&f);
        } else {
            hash.addData(f.read(MiB));
            f.seek(f.size() - MiB);
            hash.addData(f.read(MiB));
        }
        state += hash.result().toHex();
    }
    return state;
}
