#include "app/previewwindow.h"

#include "app/dialogs.h"
#include "app/formfont.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const char* const DefaultCaption = "Rapor Onizleme";

} // namespace

TfrmZozEdezaPreview::TfrmZozEdezaPreview(QWidget* AOwner, TQRPrinter* aQRPrinter) : QWidget(AOwner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    BuildLayout();
    BindKeys();
    FQRPrinter = aQRPrinter;
    QRPreview1->SetQRPrinter(aQRPrinter);
    if (aQRPrinter && !aQRPrinter->Title().isEmpty())
        setWindowTitle(aQRPrinter->Title());
}

TfrmZozEdezaPreview::~TfrmZozEdezaPreview() = default;

void TfrmZozEdezaPreview::BuildLayout()
{
    setWindowTitle(QString::fromUtf8(DefaultCaption));
    setFont(FormFont());
    resize(686, 447);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setFixedHeight(24);
    layout->addWidget(Panel1);
    QRPreview1 = new TQRPreview(this);
    layout->addWidget(QRPreview1, 1);

    struct TButtonLayout {
        QPushButton** Button;
        const char* Caption;
        int Left;
        void (TfrmZozEdezaPreview::*Handler)();
    };
    const TButtonLayout buttons[] = {
        {&btnPrint, "&Yazdir", 3, &TfrmZozEdezaPreview::btnPrintClick},
        {&btnPrevPage, "Onceki Sayfa", 78, &TfrmZozEdezaPreview::btnPrevPageClick},
        {&btnNextPage, "Sonraki Sayfa", 154, &TfrmZozEdezaPreview::btnNextPageClick},
        {&btnZoomIn, "Rapor Buyut", 230, &TfrmZozEdezaPreview::btnZoomInClick},
        {&btnZoomOut, "Rapor Kucult", 306, &TfrmZozEdezaPreview::btnZoomOutClick},
        {&btnOpen, "Rapor &Ac", 381, &TfrmZozEdezaPreview::btnOpenClick},
        {&btnClose, "Cikis", 456, &TfrmZozEdezaPreview::btnCloseClick},
    };
    for (const TButtonLayout& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.Caption), Panel1);
        button->setGeometry(b.Left, 0, 75, 25);
        button->setAutoDefault(false);
        const auto handler = b.Handler;
        connect(button, &QPushButton::clicked, this,
                [this, handler] { RunReportingErrors(this, [this, handler] { (this->*handler)(); }); });
        *b.Button = button;
    }

    QWidget* order[] = {btnPrint, btnNextPage, btnPrevPage, btnZoomIn, btnZoomOut, btnClose, btnOpen, QRPreview1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    QRPreview1->OnPageAvailable = [this](TQRPreview* Sender, int PageNum) { QRPreview1PageAvailable(Sender, PageNum); };
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
    bind(QKeySequence(Qt::CTRL | Qt::Key_Plus), &TfrmZozEdezaPreview::btnZoomInClick);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TfrmZozEdezaPreview::btnZoomInClick);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Minus), &TfrmZozEdezaPreview::btnZoomOutClick);
}

void TfrmZozEdezaPreview::ProcessPendingMessages()
{
    QCoreApplication::processEvents();
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
    if (FQRPrinter)
        FQRPrinter->ClosePreview(this);
}

void TfrmZozEdezaPreview::UpdateNavButtons()
{
    const int page = QRPreview1->PageNumber();
    TQRPrinter* printer = QRPreview1->QRPrinter();
    btnPrevPage->setEnabled(page > 1);
    btnNextPage->setEnabled(printer && page < printer->PageCount());
}

void TfrmZozEdezaPreview::InitFirstPage()
{
    if (!bPleaseInit)
        return;
    QRPreview1->ZoomToFit();
    UpdateNavButtons();
    bPleaseInit = false;
}

void TfrmZozEdezaPreview::btnPrevPageClick()
{
    ProcessPendingMessages();
    if (QRPreview1->PageNumber() > 1)
        QRPreview1->SetPageNumber(QRPreview1->PageNumber() - 1);
    UpdateNavButtons();
}

void TfrmZozEdezaPreview::btnNextPageClick()
{
    ProcessPendingMessages();
    if (FQRPrinter && QRPreview1->PageNumber() < FQRPrinter->PageCount())
        QRPreview1->SetPageNumber(QRPreview1->PageNumber() + 1);
    UpdateNavButtons();
}

void TfrmZozEdezaPreview::FirstPage()
{
    ProcessPendingMessages();
    QRPreview1->SetPageNumber(1);
    UpdateNavButtons();
}

void TfrmZozEdezaPreview::LastPage()
{
    ProcessPendingMessages();
    if (FQRPrinter)
        QRPreview1->SetPageNumber(FQRPrinter->PageCount());
    UpdateNavButtons();
}

void TfrmZozEdezaPreview::btnZoomInClick()
{
    ProcessPendingMessages();
    QRPreview1->SetZoom(QRPreview1->Zoom() + 10);
}

void TfrmZozEdezaPreview::btnZoomOutClick()
{
    ProcessPendingMessages();
    if (QRPreview1->Zoom() > 10)
        QRPreview1->SetZoom(QRPreview1->Zoom() - 10);
}

void TfrmZozEdezaPreview::btnOpenClick()
{
    QFileDialog dialog(this, QStringLiteral("Rapor Yükle"));
    dialog.setNameFilter(QStringLiteral("Rapor Dosyası (*.QRP *.qrp)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    const std::optional<QString> chosen = ExecuteFileDialog(dialog);
    if (!chosen || !FQRPrinter)
        return;
    if (!QFileInfo::exists(*chosen)) {
        ShowMessage(this, QStringLiteral("Dosya bulunamadı."));
        return;
    }
    FQRPrinter->SetMaster(nullptr);
    FQRPrinter->Load(*chosen);
    QRPreview1->SetPageNumber(1);
    QRPreview1->PreviewImage()->SetPageNumber(1);
    // A report on other paper must not be drawn into the old page's shape.
    QRPreview1->UpdateZoom();
    UpdateNavButtons();
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
        caption += QLatin1String(" - 1 page");
    else
        caption += QLatin1String(" - ") + QString::number(PageNum) + QLatin1String(" pages");
    if (printer) {
        switch (printer->Status()) {
        case mpReady: caption += QLatin1String(" READY"); break;
        case mpBusy: caption += QLatin1String(" BUSY"); break;
        case mpFinished: caption += QLatin1String(" FINISHED"); break;
        }
    }
    setWindowTitle(caption);
    UpdateNavButtons();
}

QWidget* TQRQRPPreviewInterface::Show(TQRPrinter* AQRPrinter)
{
    auto* window = new TfrmZozEdezaPreview(nullptr, AQRPrinter);
    window->show();
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
