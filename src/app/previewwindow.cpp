// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewwindow.h"

#include "app/dialogs.h"
#include "app/exportdialog.h"
#include "app/formfont.h"
#include "app/pagebox.h"
#include "app/printjob.h"
#include "app/reportfile.h"
#include "app/reportsnapshot.h"
#include "app/selectprinter.h"
#include "app/thumbnailpanel.h"
#include "app/viewersettings.h"
#include "platform/messagepump.h"
#include "preview/findbar.h"
#include "preview/previewgeometry.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "preview/textselection.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// What "Rapor Buyut" and "Rapor Kucult" add and take, in percent.
constexpr int ZoomButtonStep = 10;

const char* const DefaultCaption = QT_TRANSLATE_NOOP("TfrmZozEdezaPreview", "Rapor Onizleme");

} // namespace

TfrmZozEdezaPreview::TfrmZozEdezaPreview(QWidget* AOwner, TQRPrinter* aQRPrinter) : QWidget(AOwner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    BuildLayout();
    BindKeys();
    FQRPrinter = aQRPrinter;
    QRPreview1->SetQRPrinter(aQRPrinter);
    UpdateCaption();
    // The page buttons can act only where there is a page to go to.
    UpdateButtons();

    setAcceptDrops(true);
    const QByteArray geometry = PreviewGeometry();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    // restoreGeometry() drops the maximised state when the saved normal
    // size no longer fits the screen in its pixels (a scale factor changed).
    if (PreviewMaximized())
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (!geometry.isEmpty())
        Cascade();
    FGeometrySaver = new QTimer(this);
    FGeometrySaver->setSingleShot(true);
    FGeometrySaver->setInterval(300);
    connect(FGeometrySaver, &QTimer::timeout, this, [this] {
        SetPreviewGeometry(saveGeometry());
        SetPreviewMaximized(isMaximized());
    });
}

TfrmZozEdezaPreview::~TfrmZozEdezaPreview()
{
    if (!FOwnDocument)
        return;
    // Nothing may read the document once it is gone.
    FindBar->Close();
    Thumbnails->SetDocument(nullptr);
    QRPreview1->SetQRPrinter(nullptr);
    FOwnDocument.reset();
}

void TfrmZozEdezaPreview::AdoptQRPrinter(std::unique_ptr<TQRPrinter> Document,
                                         std::unique_ptr<TReportSnapshot> Snapshot)
{
    if (Document.get() != FQRPrinter)
        ShowDocument(std::move(Document), std::move(Snapshot));
    else {
        FOwnDocument = std::move(Document);
        FSnapshot = std::move(Snapshot);
        UpdateCaption();
        WatchFile();
    }
}

QString TfrmZozEdezaPreview::ReportFile() const
{
    if (FSnapshot)
        return FSnapshot->FileName();
    return FQRPrinter ? FQRPrinter->FileName() : QString();
}

bool TfrmZozEdezaPreview::ShowsFile(const QString& FileName) const
{
    const QString shown = ReportFile();
    if (shown.isEmpty())
        return false;
    if (QFileInfo(shown).absoluteFilePath() == QFileInfo(FileName).absoluteFilePath())
        return true;
    const std::optional<TFileIdentity> asked = CurrentFileIdentity(FileName);
    if (!asked)
        return false;
    if (FSnapshot)
        return FSnapshot->Identity().SameFile(*asked);
    const std::optional<TFileIdentity> now = CurrentFileIdentity(shown);
    return now && now->SameFile(*asked);
}

void TfrmZozEdezaPreview::Cascade()
{
    // Every window takes the remembered place: a second one steps aside so
    // that it never hides the first exactly.
    const QPoint step(32, 32);
    QPoint at = pos();
    const auto taken = [this](const QPoint& Place) {
        for (TfrmZozEdezaPreview* other : OpenWindows())
            if (other != this && other->isVisible() && other->pos() == Place)
                return true;
        return false;
    };
    for (int tries = 0; tries < 16 && taken(at); ++tries)
        at += step;
    move(at);
}

void TfrmZozEdezaPreview::ShowInFront()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    QRPreview1->setFocus(Qt::ActiveWindowFocusReason);
}

void TfrmZozEdezaPreview::SetMainCommands(const QList<QAction*>& Commands)
{
    for (QAction* command : std::as_const(FMainCommands))
        removeAction(command);
    FMainCommands = Commands;
    addActions(Commands);
}

void TfrmZozEdezaPreview::UpdateCaption()
{
    QString caption = FQRPrinter && !FQRPrinter->Title().isEmpty() ? FQRPrinter->Title() : tr(DefaultCaption);
    const QString file = ReportFile();
    // Two open reports can be told apart in a task bar.
    if (!file.isEmpty())
        caption += QStringLiteral(" — ") + QFileInfo(file).fileName();
    setWindowTitle(caption);
}

void TfrmZozEdezaPreview::WatchFile()
{
    delete FWatcher;
    FWatcher = nullptr;
    if (ChangedBar)
        ChangedBar->hide();
    if (!FSnapshot)
        return;
    FWatcher = new QFileSystemWatcher(this);
    FWatcher->addPath(FSnapshot->FileName());
    connect(FWatcher, &QFileSystemWatcher::fileChanged, this, [this] { CheckFileOnDisk(); });
}

void TfrmZozEdezaPreview::CheckFileOnDisk()
{
    if (!FSnapshot || !FSnapshot->ChangedOnDisk()) {
        if (ChangedBar)
            ChangedBar->hide();
        return;
    }
    if (!ChangedBar) {
        ChangedBar = new QFrame(this);
        ChangedBar->setFrameShape(QFrame::StyledPanel);
        auto* row = new QHBoxLayout(ChangedBar);
        row->setContentsMargins(6, 2, 6, 2);
        ChangedNote = new QLabel(ChangedBar);
        ChangedNote->setWordWrap(true);
        row->addWidget(ChangedNote, 1);
        auto* reload = new QPushButton(tr("Yeniden Yük&le"), ChangedBar);
        reload->setAutoDefault(false);
        connect(reload, &QPushButton::clicked, this, [this] { RunReportingErrors(this, [this] { Reload(); }); });
        row->addWidget(reload);
        static_cast<QBoxLayout*>(layout())->insertWidget(1, ChangedBar);
    }
    ChangedNote->setText(FSnapshot->InPlace()
                             ? tr("Dosya açıldıktan sonra diskte değişti; yazdırmadan önce yeniden yükleyin.")
                             : tr("Dosya açıldıktan sonra diskte değişti; gösterilen ve yazdırılan sayfalar "
                                  "dosyanın açıldığı andaki hâlidir."));
    ChangedBar->show();
}

void TfrmZozEdezaPreview::Reload()
{
    const QString file = ReportFile();
    if (file.isEmpty())
        return;
    const int page = QRPreview1->PageNumber();
    OpenFile(file);
    if (page > 1 && FQRPrinter && page <= FQRPrinter->PageCount())
        GotoPage(page);
}

bool TfrmZozEdezaPreview::event(QEvent* Event)
{
    // The file may have changed while the user was elsewhere.
    if (Event->type() == QEvent::WindowActivate)
        CheckFileOnDisk();
    return QWidget::event(Event);
}

void TfrmZozEdezaPreview::BuildLayout()
{
    setWindowTitle(tr(DefaultCaption));
    setFont(FormFont());
    resize(686, 447);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setFixedHeight(24);
    layout->addWidget(Panel1);
    auto* pages = new QHBoxLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    pages->setSpacing(0);
    Thumbnails = new TThumbnailPanel(this);
    Thumbnails->setFocusPolicy(Qt::ClickFocus);
    Thumbnails->setAccessibleName(tr("Sayfa küçük resimleri"));
    Thumbnails->hide();
    Thumbnails->OnPageClicked = [this](int Page) { RunReportingErrors(this, [this, Page] { GotoPage(Page); }); };
    pages->addWidget(Thumbnails);
    QRPreview1 = new TQRPreview(this);
    QRPreview1->PreviewImage()->SetGdiText(GdiTextView());
    pages->addWidget(QRPreview1, 1);
    layout->addLayout(pages, 1);
    AddTextTools(layout);

    struct TButtonLayout {
        QPushButton** Button;
        const char* Caption;
        int Left;
        void (TfrmZozEdezaPreview::*Handler)();
    };
    const TButtonLayout buttons[] = {
        {&btnPrint, QT_TR_NOOP("&Yazdir"), 3, &TfrmZozEdezaPreview::btnPrintClick},
        {&btnPrevPage, QT_TR_NOOP("Onceki Sayfa"), 78, &TfrmZozEdezaPreview::btnPrevPageClick},
        {&btnNextPage, QT_TR_NOOP("Sonraki Sayfa"), 154, &TfrmZozEdezaPreview::btnNextPageClick},
        {&btnZoomIn, QT_TR_NOOP("Rapor Buyut"), 230, &TfrmZozEdezaPreview::btnZoomInClick},
        {&btnZoomOut, QT_TR_NOOP("Rapor Kucult"), 306, &TfrmZozEdezaPreview::btnZoomOutClick},
        {&btnOpen, QT_TR_NOOP("Rapor &Ac"), 381, &TfrmZozEdezaPreview::btnOpenClick},
        {&btnClose, QT_TR_NOOP("Cikis"), 456, &TfrmZozEdezaPreview::btnCloseClick},
    };
    for (const TButtonLayout& b : buttons) {
        auto* button = new QPushButton(tr(b.Caption), Panel1);
        button->setGeometry(b.Left, 0, 75, 25);
        button->setAutoDefault(false);
        const auto handler = b.Handler;
        connect(button, &QPushButton::clicked, this,
                [this, handler] { RunReportingErrors(this, [this, handler] { (this->*handler)(); }); });
        *b.Button = button;
    }

    PageBox = new TPageBox(Panel1);
    PageBox->setGeometry(531, 0, 190, 25);
    PageBox->OnGoto = [this](int Page) { RunReportingErrors(this, [this, Page] { GotoPage(Page); }); };

    QWidget* order[] = {btnPrint, btnNextPage, btnPrevPage, btnZoomIn, btnZoomOut, btnClose, btnOpen, QRPreview1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The page field comes after the design's controls.
    setTabOrder(QRPreview1, PageBox->Field());

    QRPreview1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(QRPreview1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& Pos) { ShowPageMenu(QRPreview1->viewport()->mapToGlobal(Pos)); });

    QRPreview1->OnZoomChanged = [this](int Zoom) {
        PageBox->ShowZoom(Zoom);
        UpdateButtons();
    };
    QRPreview1->OnPageAvailable = [this](TQRPreview* Sender, int PageNum) { QRPreview1PageAvailable(Sender, PageNum); };
}

// Find bar under the page and copying of the page's text; the copy entries
// join the page's context menu.
void TfrmZozEdezaPreview::AddTextTools(QBoxLayout* Layout)
{
    FindBar = new TFindBar(QRPreview1, this);
    FindBar->OnPageChanged = [this] { UpdateButtons(); };
    Layout->addWidget(FindBar);
    TextSelection = new TPageTextSelection(QRPreview1->PreviewImage(), this);
    QRPreview1->PageText = [this] { return TextSelection->PageText(); };
}

void TfrmZozEdezaPreview::BindKeys()
{
    const auto bind = [this](const QKeySequence& Keys, void (TfrmZozEdezaPreview::*Handler)()) {
        auto* shortcut = new QShortcut(Keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, Handler] { RunReportingErrors(this, [this, Handler] { (this->*Handler)(); }); });
    };
    bind(QKeySequence(Qt::Key_PageDown), &TfrmZozEdezaPreview::btnNextPageClick);
    bind(QKeySequence(Qt::Key_PageUp), &TfrmZozEdezaPreview::btnPrevPageClick);
    bind(QKeySequence(Qt::Key_Home), &TfrmZozEdezaPreview::FirstPage);
    bind(QKeySequence(Qt::Key_End), &TfrmZozEdezaPreview::LastPage);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Plus), &TfrmZozEdezaPreview::ZoomInAroundCentre);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TfrmZozEdezaPreview::ZoomInAroundCentre);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Minus), &TfrmZozEdezaPreview::ZoomOutAroundCentre);
    bind(QKeySequence(Qt::CTRL | Qt::Key_L), &TfrmZozEdezaPreview::FocusPageBox);
    bind(QKeySequence(Qt::CTRL | Qt::Key_G), &TfrmZozEdezaPreview::FocusPageBox);
    bind(QKeySequence(Qt::CTRL | Qt::Key_0), &TfrmZozEdezaPreview::ActualSize);
    bind(QKeySequence(Qt::CTRL | Qt::Key_1), &TfrmZozEdezaPreview::FitPage);
    bind(QKeySequence(Qt::CTRL | Qt::Key_2), &TfrmZozEdezaPreview::FitWidth);
    bind(QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmZozEdezaPreview::ExportReport);
    bind(QKeySequence(Qt::Key_F4), &TfrmZozEdezaPreview::ToggleThumbnails);
}

void TfrmZozEdezaPreview::FillPageMenu(QMenu& Menu)
{
    const auto add = [this, &Menu](const QString& Text, const QKeySequence& Keys,
                                   void (TfrmZozEdezaPreview::*Handler)()) {
        QAction* action = Menu.addAction(Text);
        action->setShortcut(Keys);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this,
                [this, Handler] { RunReportingErrors(this, [this, Handler] { (this->*Handler)(); }); });
        return action;
    };
    add(tr("&Gerçek Boyut"), QKeySequence(Qt::CTRL | Qt::Key_0), &TfrmZozEdezaPreview::ActualSize);
    add(tr("&Sayfaya Sığdır"), QKeySequence(Qt::CTRL | Qt::Key_1), &TfrmZozEdezaPreview::FitPage);
    add(tr("G&enişliğe Sığdır"), QKeySequence(Qt::CTRL | Qt::Key_2), &TfrmZozEdezaPreview::FitWidth);
    // The entries that share a button's work share its state.
    UpdateButtons();
    add(tr("&Büyüt"), QKeySequence(Qt::CTRL | Qt::Key_Plus), &TfrmZozEdezaPreview::ZoomInAroundCentre)
        ->setEnabled(btnZoomIn->isEnabled());
    add(tr("&Küçült"), QKeySequence(Qt::CTRL | Qt::Key_Minus), &TfrmZozEdezaPreview::ZoomOutAroundCentre)
        ->setEnabled(btnZoomOut->isEnabled());
    Menu.addSeparator();
    add(tr("Ö&nceki Sayfa"), QKeySequence(Qt::Key_PageUp), &TfrmZozEdezaPreview::btnPrevPageClick)
        ->setEnabled(btnPrevPage->isEnabled());
    add(tr("S&onraki Sayfa"), QKeySequence(Qt::Key_PageDown), &TfrmZozEdezaPreview::btnNextPageClick)
        ->setEnabled(btnNextPage->isEnabled());
    Menu.addSeparator();
    add(tr("&Yazdır..."), QKeySequence(), &TfrmZozEdezaPreview::btnPrintClick)->setEnabled(btnPrint->isEnabled());
    add(tr("&Dışa Aktar..."), QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmZozEdezaPreview::ExportReport)
        ->setEnabled(btnPrint->isEnabled());
    add(tr("Sayfayı &Resim Olarak Kopyala"), QKeySequence(), &TfrmZozEdezaPreview::CopyPageImage)
        ->setEnabled(TextSelection->CopyAction()->isEnabled() && QRPreview1->PreviewImage()->ImageOK());
    // Text as GDI draws it, pixel for pixel, for those who compare with
    // the page on Windows; remembered for the windows opened later.
    QAction* gdi = Menu.addAction(tr("Windows görünümü (GDI)"));
    gdi->setObjectName(QStringLiteral("gdiTextAction"));
    gdi->setCheckable(true);
    gdi->setChecked(QRPreview1->PreviewImage()->GdiText());
    connect(gdi, &QAction::toggled, this, [this](bool On) {
        SetGdiTextView(On);
        QRPreview1->PreviewImage()->SetGdiText(On);
    });
    Menu.addSeparator();
    Menu.addActions({TextSelection->CopyAction(), TextSelection->SelectAllAction(), TextSelection->ModeAction()});
    if (!FMainCommands.isEmpty()) {
        Menu.addSeparator();
        Menu.addActions(FMainCommands);
    }
}

void TfrmZozEdezaPreview::ShowPageMenu(const QPoint& GlobalPos)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    FillPageMenu(*menu);
    menu->popup(GlobalPos);
}

void TfrmZozEdezaPreview::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    FormShow();
}

void TfrmZozEdezaPreview::FormShow()
{
    bPleaseInit = true;
}

void TfrmZozEdezaPreview::closeEvent(QCloseEvent* Event)
{
    FormClose();
    Event->accept();
}

void TfrmZozEdezaPreview::FormClose()
{
    if (FGeometrySaver->isActive()) {
        FGeometrySaver->stop();
        SetPreviewGeometry(saveGeometry());
    }
    if (FQRPrinter)
        FQRPrinter->ClosePreview(this);
}

void TfrmZozEdezaPreview::UpdateButtons()
{
    const int page = QRPreview1->PageNumber();
    TQRPrinter* printer = QRPreview1->QRPrinter();
    const int count = printer ? printer->PageCount() : 0;
    // Each command is enabled exactly when it would do something: a report
    // without pages keeps the page number it had, which leads nowhere.
    btnPrevPage->setEnabled(page > 1 && page - 1 <= count);
    btnNextPage->setEnabled(page < count);
    btnPrint->setEnabled(count > 0);
    btnZoomIn->setEnabled(QRPreview1->Zoom() + ZoomButtonStep <= MaxZoom);
    btnZoomOut->setEnabled(QRPreview1->Zoom() > ZoomButtonStep);
    const bool pageShown = page >= 1 && page <= count;
    TextSelection->CopyAction()->setEnabled(pageShown);
    TextSelection->SelectAllAction()->setEnabled(pageShown);
    PageBox->ShowPage(page, count);
    PageBox->Field()->setEnabled(count > 0);
    if (Thumbnails->isVisible())
        Thumbnails->ShowCurrentPage(page);
}

void TfrmZozEdezaPreview::ToggleThumbnails()
{
    // The panel takes its width from the page: the spot the user looked at
    // stays in the middle.
    const QPointF centre = QRPreview1->ViewCentre();
    const auto keepCentre = [this, centre] {
        layout()->activate();
        QRPreview1->ScrollToCentre(centre);
    };
    if (Thumbnails->isVisible()) {
        Thumbnails->hide();
        keepCentre();
        return;
    }
    if (FThumbnailsStale) {
        Thumbnails->SetDocument(FQRPrinter);
        FThumbnailsStale = false;
    }
    Thumbnails->show();
    keepCentre();
    Thumbnails->ShowCurrentPage(QRPreview1->PageNumber());
    Thumbnails->setFocus(Qt::OtherFocusReason);
}

void TfrmZozEdezaPreview::InitFirstPage()
{
    if (!bPleaseInit)
        return;
    QRPreview1->ZoomToFit();
    UpdateButtons();
    bPleaseInit = false;
}

void TfrmZozEdezaPreview::btnPrevPageClick()
{
    ProcessPendingMessages();
    if (QRPreview1->PageNumber() > 1)
        QRPreview1->SetPageNumber(QRPreview1->PageNumber() - 1);
    UpdateButtons();
}

void TfrmZozEdezaPreview::btnNextPageClick()
{
    ProcessPendingMessages();
    if (FQRPrinter && QRPreview1->PageNumber() < FQRPrinter->PageCount())
        QRPreview1->SetPageNumber(QRPreview1->PageNumber() + 1);
    UpdateButtons();
}

void TfrmZozEdezaPreview::FirstPage()
{
    ProcessPendingMessages();
    QRPreview1->SetPageNumber(1);
    UpdateButtons();
}

void TfrmZozEdezaPreview::LastPage()
{
    ProcessPendingMessages();
    if (FQRPrinter)
        QRPreview1->SetPageNumber(FQRPrinter->PageCount());
    UpdateButtons();
}

void TfrmZozEdezaPreview::GotoPage(int Page)
{
    ProcessPendingMessages();
    QRPreview1->SetPageNumber(Page);
    UpdateButtons();
}

void TfrmZozEdezaPreview::ActualSize()
{
    ProcessPendingMessages();
    QRPreview1->SetZoom(100);
}

void TfrmZozEdezaPreview::FitPage()
{
    ProcessPendingMessages();
    QRPreview1->ZoomToFit();
}

void TfrmZozEdezaPreview::FitWidth()
{
    ProcessPendingMessages();
    QRPreview1->ZoomToWidth();
}

void TfrmZozEdezaPreview::ExportReport()
{
    if (FQRPrinter && FQRPrinter->PageCount() > 0)
        RunExportDialog(this, *FQRPrinter, QRPreview1->PageNumber());
}

void TfrmZozEdezaPreview::CopyPageImage()
{
    if (FQRPrinter)
        CopyPageToClipboard(*FQRPrinter, QRPreview1->PageNumber());
}

void TfrmZozEdezaPreview::btnZoomInClick()
{
    ProcessPendingMessages();
    QRPreview1->SetZoom(QRPreview1->Zoom() + ZoomButtonStep);
}

void TfrmZozEdezaPreview::ZoomInAroundCentre()
{
    const QPointF centre = QRPreview1->ViewCentre();
    btnZoomInClick();
    QRPreview1->ScrollToCentre(centre);
}

void TfrmZozEdezaPreview::ZoomOutAroundCentre()
{
    const QPointF centre = QRPreview1->ViewCentre();
    btnZoomOutClick();
    QRPreview1->ScrollToCentre(centre);
}

void TfrmZozEdezaPreview::FocusPageBox()
{
    PageBox->Field()->setFocus(Qt::ShortcutFocusReason);
    PageBox->Field()->selectAll();
}

void TfrmZozEdezaPreview::btnZoomOutClick()
{
    ProcessPendingMessages();
    if (QRPreview1->Zoom() > ZoomButtonStep)
        QRPreview1->SetZoom(QRPreview1->Zoom() - ZoomButtonStep);
}

void TfrmZozEdezaPreview::btnOpenClick()
{
    QFileDialog dialog(this, tr("Rapor Yükle"));
    dialog.setNameFilter(tr("Rapor Dosyası (*.QRP *.qrp *.emf *.EMF)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    const std::optional<QString> chosen = ExecuteFileDialog(dialog);
    if (!chosen)
        return;
    if (!QFileInfo::exists(*chosen)) {
        ShowMessage(this, tr("Dosya bulunamadı."), *chosen);
        return;
    }
    OpenFile(*chosen);
}

void TfrmZozEdezaPreview::OpenFile(const QString& FileName)
{
    auto document = std::make_unique<TQRPrinter>(nullptr);
    std::unique_ptr<TReportSnapshot> snapshot = LoadReportSnapshot(*document, FileName);
    AddRecentFile(FileName);
    ShowDocument(std::move(document), std::move(snapshot));
}

void TfrmZozEdezaPreview::ShowDocument(std::unique_ptr<TQRPrinter> Document, std::unique_ptr<TReportSnapshot> Snapshot)
{
    // A search or thumbnails still reading the old document stop first.
    FindBar->Close();
    TextSelection->ClearSelection();
    Thumbnails->SetDocument(nullptr);
    FThumbnailsStale = true;
    const std::unique_ptr<TQRPrinter> previous = std::move(FOwnDocument);
    FOwnDocument = std::move(Document);
    FSnapshot = std::move(Snapshot);
    FQRPrinter = FOwnDocument.get();
    // Attaching shows page 1 of the new report.
    QRPreview1->SetQRPrinter(FQRPrinter);
    if (Thumbnails->isVisible()) {
        Thumbnails->SetDocument(FQRPrinter);
        FThumbnailsStale = false;
    }
    // A report on other paper must not be drawn into the old page's shape.
    QRPreview1->UpdateZoom();
    UpdateButtons();
    UpdateCaption();
    WatchFile();
}

void TfrmZozEdezaPreview::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    GeometryChanged();
}

void TfrmZozEdezaPreview::moveEvent(QMoveEvent* Event)
{
    QWidget::moveEvent(Event);
    GeometryChanged();
}

void TfrmZozEdezaPreview::GeometryChanged()
{
    // Only what the user does to a window on screen is remembered.
    if (FGeometrySaver && isVisible())
        FGeometrySaver->start();
}

void TfrmZozEdezaPreview::dragEnterEvent(QDragEnterEvent* Event)
{
    if (!DroppedFile(Event->mimeData()).isEmpty())
        Event->acceptProposedAction();
}

void TfrmZozEdezaPreview::dropEvent(QDropEvent* Event)
{
    OpenDroppedFile(this, Event, [this](const QString& File) { OpenFile(File); });
}

void TfrmZozEdezaPreview::btnPrintClick()
{
    if (!FQRPrinter || FQRPrinter->PageCount() == 0)
        return;
    // The pages shown are printed; the user learns when the file differs.
    CheckFileOnDisk();
    // A report read in place no longer holds the pages shown once its file changed.
    if (FSnapshot && FSnapshot->InPlace() && FSnapshot->ChangedOnDisk())
        return;
    RunReportingErrors(this, [this] {
        if (!AnyPrinterInstalled(*FQRPrinter)) {
            ShowMessage(this, PrintJobMessage(TPrintJobResult::NoPrinter, FQRPrinter->PageCount()));
            return;
        }
        TfrmSelectPrinter dialog;
        dialog.QRPrinter = FQRPrinter;
        dialog.PrinterIndex = FQRPrinter->PrinterIndex();
        const int result = RunSelectPrinter(dialog);
        if (result != QDialog::Accepted)
            return;
        const TPrintJobResult printed = RunPrintJob(*FQRPrinter, RequestFromDialog(dialog));
        if (printed != TPrintJobResult::Printed)
            ShowMessage(this, PrintJobMessage(printed, FQRPrinter->PageCount()));
    });
}

void TfrmZozEdezaPreview::btnCloseClick()
{
    close();
}

void TfrmZozEdezaPreview::QRPreview1PageAvailable(TQRPreview*, int PageNum)
{
    InitFirstPage();
    TQRPrinter* printer = QRPreview1->QRPrinter();
    QString caption = printer ? printer->Title() : QString();
    if (PageNum == 1)
        caption += tr(" - 1 page");
    else
        caption += tr(" - %1 pages").arg(PageNum);
    if (printer) {
        switch (printer->Status()) {
        case mpReady: caption += tr(" READY"); break;
        case mpBusy: caption += tr(" BUSY"); break;
        case mpFinished: caption += tr(" FINISHED"); break;
        }
    }
    setWindowTitle(caption);
    UpdateButtons();
}

QWidget* TQRQRPPreviewInterface::Show(TQRPrinter* AQRPrinter)
{
    auto* window = new TfrmZozEdezaPreview(nullptr, AQRPrinter);
    // The report just asked for comes in front of every other window.
    window->ShowInFront();
    return window;
}

QWidget* TQRQRPPreviewInterface::ShowModal(TQRPrinter* AQRPrinter)
{
    return ShowModalUntilFreed(new TfrmZozEdezaPreview(nullptr, AQRPrinter));
}

QList<TfrmZozEdezaPreview*> TfrmZozEdezaPreview::OpenWindows()
{
    QList<TfrmZozEdezaPreview*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TfrmZozEdezaPreview*>(w))
            found << p;
    return found;
}
