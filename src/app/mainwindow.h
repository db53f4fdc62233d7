// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's main window: a small window with a menu bar. It makes
// the viewer's window the preview of every report document, registers the
// file association, and opens the report of the command line or of the
// open dialog, each report in a document and window of its own.
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QFileDialog;
class QMenu;
class QMenuBar;
class TArchiveSearchDialog;
class TQRPrinter;
class TfrmZozEdezaPreview;

class Tfrmzizarud : public QMainWindow {
    Q_OBJECT
public:
    // Args: the command line without the program itself.
    explicit Tfrmzizarud(QStringList Args = QStringList(), QWidget* Parent = nullptr);
    ~Tfrmzizarud() override;

    QFileDialog* acdialog = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Rapor1 = nullptr;
    QAction* RaporA1 = nullptr;
    QAction* k1 = nullptr;
    QMenu* Yardm1 = nullptr;
    QAction* Hakknda1 = nullptr;
    QMenu* RecentMenu = nullptr;
    QAction* ExportAction = nullptr;
    QAction* ArchiveSearchAction = nullptr;

    // The document of the report opened last, while its window is open.
    TQRPrinter* QRPrinter() const;
    // The report name the command line gave at the last start-up.
    QString CommandLineReport() const { return FCommandLineReport; }

    void RaporA1Click();
    void k1Click();
    void Hakknda1Click();
    // Opens FileName in a new window, or brings the window that already
    // shows it to the front; returns that window. A file that cannot be
    // read throws and changes nothing.
    TfrmZozEdezaPreview* OpenReport(const QString& FileName);
    void ExportReport();
    // Shows the archive search window, made on first use.
    TArchiveSearchDialog* ShowArchiveSearch();
    // Opens File at Page with Words marked by the preview's find bar.
    void OpenReportAt(const QString& File, int Page, const QStringList& Words);

    // The About text: seven lines, the last one fixed.
    static QString AboutText();

signals:
    // The user closed the main window: the program ends.
    void Closed();

protected:
    void showEvent(QShowEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    void FormCreate();
    void FormShow();
    void BuildMenu();
    void FillRecentMenu();
    std::optional<QString> AskForReport();
    // Moves this window off the preview it opened, keeping its size.
    void KeepClearOf(QWidget* Preview);
    void InFront(TfrmZozEdezaPreview* Preview);

    QStringList FArguments;
    QString FCommandLineReport;
    bool FStarted = false;
    // The windows this one opened, oldest first; each owns its document.
    QList<QPointer<TfrmZozEdezaPreview>> FPreviews;
    // Documents shown by a preview of another kind, which cannot own them.
    std::vector<std::unique_ptr<TQRPrinter>> FOtherDocuments;
    TArchiveSearchDialog* FArchiveSearch = nullptr;
    // The preview just opened, while the window manager may still place
    // this window (on it) when it maps it.
    QPointer<QWidget> FSettlingBeside;
};
