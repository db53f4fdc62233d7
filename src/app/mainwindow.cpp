// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include "app/archivesearchdialog.h"
#include "app/dialogs.h"
#include "app/exportdialog.h"
#include "app/formfont.h"
#include "app/previewwindow.h"
#include "app/reportfile.h"
#include "app/reportsnapshot.h"
#include "app/startup.h"
#include "app/viewersettings.h"
#include "app/windowplacement.h"
#include "app/xdgassociationstore.h"
#include "platform/version.h"
#include "preview/findbar.h"
#include "preview/qrpreview.h"
#include "printer/previewinterface.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QPointer>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>

Tfrmzizarud::Tfrmzizarud(QStringList Args, QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      FArguments(std::move(Args))
{
    setWindowTitle(tr("Zendivo v1.2"));
    setFont(FormFont());
    BuildMenu();
    setCentralWidget(new QWidget(this));
    // The client area is 185 x 60 below the menu bar.
    resize(185, 60 + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    acdialog = new QFileDialog(this);
    acdialog->setAcceptMode(QFileDialog::AcceptOpen);
    acdialog->setNameFilter(tr("Rapor Dosya Türleri (*.QRP *.qrp *.emf *.EMF)"));
    acdialog->setOption(QFileDialog::HideNameFilterDetails);
    // A typed name without extension gets ".qrp".
    acdialog->setDefaultSuffix(QStringLiteral("qrp"));
    setAcceptDrops(true);
    FormCreate();
}

Tfrmzizarud::~Tfrmzizarud()
{
    for (const QPointer<TfrmZozEdezaPreview>& preview : std::as_const(FPreviews))
        delete preview.data();
    // Windows of another kind that still show a document go before it.
    for (const std::unique_ptr<TQRPrinter>& document : FOtherDocuments)
        delete document->PreviewControl();
}

TQRPrinter* Tfrmzizarud::QRPrinter() const
{
    for (auto it = FPreviews.crbegin(); it != FPreviews.crend(); ++it)
        if (*it)
            return (*it)->QRPrinter();
    return FOtherDocuments.empty() ? nullptr : FOtherDocuments.back().get();
}

void Tfrmzizarud::BuildMenu()
{
    MainMenu1 = menuBar();
    Rapor1 = MainMenu1->addMenu(tr("Rapor"));
    RaporA1 = Rapor1->addAction(tr("Rapor Aç..."));
    RaporA1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // Beside the design's entries: recent files and export.
    RecentMenu = Rapor1->addMenu(tr("Son Açıl&anlar"));
    connect(RecentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    FillRecentMenu();
    ExportAction = Rapor1->addAction(tr("&Dışa Aktar..."));
    ExportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(ExportAction, &QAction::triggered, this, [this] { RunReportingErrors(this, [this] { ExportReport(); }); });
    ArchiveSearchAction = Rapor1->addAction(tr("A&rşivde Ara…"));
    ArchiveSearchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(ArchiveSearchAction, &QAction::triggered, this, [this] { ShowArchiveSearch(); });
    Rapor1->addSeparator();
    k1 = Rapor1->addAction(tr("Çıkış"));
    k1->setShortcut(QKeySequence(Qt::Key_F12));
    Yardm1 = MainMenu1->addMenu(tr("Yardım"));
    Hakknda1 = Yardm1->addAction(tr("Hakkında..."));
    connect(RaporA1, &QAction::triggered, this, [this] {
        // Asked for from a preview: its message stands over it, and when
        // nothing new opens the preview gets the keyboard back.
        const QPointer<TfrmZozEdezaPreview> from = qobject_cast<TfrmZozEdezaPreview*>(QApplication::activeWindow());
        RunReportingErrors(from ? static_cast<QWidget*>(from) : this, [this] { RaporA1Click(); });
        if (from && (!QApplication::activeWindow() || QApplication::activeWindow() == this))
            from->ShowInFront();
    });
    connect(k1, &QAction::triggered, this, [this] { k1Click(); });
    connect(Hakknda1, &QAction::triggered, this, [this] { Hakknda1Click(); });
    // The previews offer these in their page menus too.
    for (QAction* command : {RaporA1, ArchiveSearchAction, Hakknda1, k1})
        command->setShortcutVisibleInContextMenu(true);
}

void Tfrmzizarud::FillRecentMenu()
{
    RecentMenu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        QAction* entry = RecentMenu->addAction(QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(file));
        connect(entry, &QAction::triggered, this, [this, file] {
            RunReportingErrors(this, [this, &file] {
                if (!QFileInfo::exists(file))
                    ShowMessage(this, tr("Dosya bulunamadı."), file);
                else
                    OpenReport(file);
            });
        });
    }
    RecentMenu->setEnabled(!files.isEmpty());
}

void Tfrmzizarud::ExportReport()
{
    // The report opened last, at the page its window shows.
    for (auto it = FPreviews.crbegin(); it != FPreviews.crend(); ++it) {
        TfrmZozEdezaPreview* preview = it->data();
        if (!preview)
            continue;
        if (preview->QRPrinter() && preview->QRPrinter()->PageCount() > 0)
            RunExportDialog(this, *preview->QRPrinter(), preview->QRPreview1->PageNumber());
        return;
    }
}

TArchiveSearchDialog* Tfrmzizarud::ShowArchiveSearch()
{
    if (!FArchiveSearch)
        FArchiveSearch = new TArchiveSearchDialog(
            this, [this](const QString& File, int Page, const QStringList& Words) { OpenReportAt(File, Page, Words); });
    FArchiveSearch->show();
    FArchiveSearch->activateWindow();
    return FArchiveSearch;
}

void Tfrmzizarud::OpenReportAt(const QString& File, int Page, const QStringList& Words)
{
    TfrmZozEdezaPreview* shown = OpenReport(File);
    if (!shown || !shown->QRPrinter())
        return;
    shown->GotoPage(std::clamp(Page, 1, std::max(1, shown->QRPrinter()->PageCount())));
    shown->FindBar->FindWords(Words);
    InFront(shown);
}

void Tfrmzizarud::dragEnterEvent(QDragEnterEvent* Event)
{
    if (!DroppedFile(Event->mimeData()).isEmpty())
        Event->acceptProposedAction();
}

void Tfrmzizarud::dropEvent(QDropEvent* Event)
{
    OpenDroppedFile(this, Event, [this](const QString& File) { OpenReport(File); });
}

void Tfrmzizarud::FormCreate()
{
    SetPreviewFactoryClass<TQRQRPPreviewInterface>();
}

void Tfrmzizarud::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (FStarted)
        return;
    FStarted = true;
    RunReportingErrors(this, [this] { FormShow(); });
}

void Tfrmzizarud::FormShow()
{
    TXdgAssociationStore store;
    RegisterFileAssociation(store, QStringLiteral(".qrp"), QStringLiteral("QRPFile"),
                            QCoreApplication::applicationFilePath());
    FCommandLineReport.clear();
    if (std::optional<QString> name = ReportNameFromArguments(FArguments))
        FCommandLineReport = *name;
    RunStartup(FArguments, {[this](const QString& Name) { OpenReport(Name); }, [this] { return AskForReport(); }});
}

std::optional<QString> Tfrmzizarud::AskForReport()
{
    return ExecuteFileDialog(*acdialog);
}

void Tfrmzizarud::RaporA1Click()
{
    AskAndOpenReport({[this](const QString& Name) { OpenReport(Name); }, [this] { return AskForReport(); }});
}

void Tfrmzizarud::k1Click()
{
    close();
}

QString Tfrmzizarud::AboutText()
{
    const QStringList lines = {
        QString(),
        QStringLiteral("https://zendivo.example.org"),
        QStringLiteral("https://forum.zendivo.example.org"),
        QString(),
        QStringLiteral("destek@zendivo.example.org"),
        QString(),
        QStringLiteral("-09-12-2014-"),
    };
    return lines.join(QLatin1String("\r\n"));
}

void Tfrmzizarud::Hakknda1Click()
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), AboutText(), QMessageBox::Ok,
                    this);
    // Below the fixed seven lines, so that they stay as they are.
    box.setInformativeText(tr("Version %1").arg(QLatin1String(QrpVersion)));
    ExecuteMessageBox(box);
}

TfrmZozEdezaPreview* Tfrmzizarud::OpenReport(const QString& FileName)
{
    for (TfrmZozEdezaPreview* preview : TfrmZozEdezaPreview::OpenWindows())
        if (preview->ShowsFile(FileName)) {
            InFront(preview);
            return preview;
        }
    // Each report gets its own document: a window never shows pages of a
    // report opened after it.
    auto document = std::make_unique<TQRPrinter>(nullptr);
    std::unique_ptr<TReportSnapshot> snapshot = LoadReportSnapshot(*document, FileName);
    AddRecentFile(FileName);
    FillRecentMenu();
    document->Preview();
    auto* preview = qobject_cast<TfrmZozEdezaPreview*>(document->PreviewControl());
    if (!preview) {
        FOtherDocuments.push_back(std::move(document));
        return nullptr;
    }
    preview->AdoptQRPrinter(std::move(document), std::move(snapshot));
    preview->SetMainCommands({RaporA1, RecentMenu->menuAction(), ArchiveSearchAction, Hakknda1, k1});
    FPreviews.removeAll(nullptr);
    FPreviews << preview;
    InFront(preview);
    return preview;
}

void Tfrmzizarud::InFront(TfrmZozEdezaPreview* Preview)
{
    Preview->ShowInFront();
    KeepClearOf(Preview);
    // A window manager places a new window and adds its frame only once it
    // is mapped, which on a busy machine can be seconds later: until then
    // every place it gives this window is checked.
    FSettlingBeside = Preview;
    QTimer::singleShot(3000, this, [this] { FSettlingBeside = nullptr; });
    // At start-up this window is mapped after the preview and may take the
    // focus from it then.
    QTimer::singleShot(300, this, [this, preview = QPointer<TfrmZozEdezaPreview>(Preview)] {
        if (!preview || !preview->isVisible())
            return;
        KeepClearOf(preview);
        if (!QApplication::activeWindow() || QApplication::activeWindow() == this)
            preview->ShowInFront();
    });
}

void Tfrmzizarud::moveEvent(QMoveEvent* Event)
{
    QMainWindow::moveEvent(Event);
    if (FSettlingBeside && FSettlingBeside->isVisible())
        KeepClearOf(FSettlingBeside);
}

void Tfrmzizarud::KeepClearOf(QWidget* Preview)
{
    QScreen* screen = Preview->screen();
    if (!screen || !isVisible())
        return;
    const QRect frame = frameGeometry();
    const QRect placed = PlaceBeside(frame, Preview->frameGeometry(), screen->availableGeometry());
    if (placed.topLeft() != frame.topLeft())
        move(placed.topLeft());
}

void Tfrmzizarud::closeEvent(QCloseEvent* Event)
{
    Event->accept();
    emit Closed();
}
