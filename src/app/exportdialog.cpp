// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exportdialog.h"

#include "app/viewersettings.h"

#include "app/dialogs.h"
#include "app/formfont.h"
#include "app/pageexport.h"
#include "app/viewersettings.h"
#include "platform/metafile.h"
#include "printer/qrprinter.h"

#include <QCoreApplication>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Pages drawn before the progress window appears; shorter exports never show it.
constexpr int ProgressDelayMs = 400;

// The report's own name in the folder of the last export, or in the
// report's folder before the first one.
QString SuggestedName(const TQRPrinter& Document, const QString& Suffix)
{
    const QFileInfo report(Document.FileName());
    const QString title = Document.Title().trimmed();
    const QString base = !Document.FileName().isEmpty() ? report.completeBaseName()
                         : !title.isEmpty()             ? title
                                                        : QStringLiteral("rapor");
    QString folder = LastExportFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = Document.FileName().isEmpty() ? QString() : report.absolutePath();
    return folder.isEmpty() ? base + Suffix : QDir(folder).filePath(base + Suffix);
}

} // namespace

TExportDialog::TExportDialog(QWidget* Parent, int PageCount, int CurrentPage) : QDialog(Parent)
{
    setWindowTitle(tr("Dışa Aktar"));
    setFont(FormFont());
    auto* layout = new QVBoxLayout(this);
    FKinds = new QButtonGroup(this);
    rbPdfAll = new QRadioButton(tr("PDF, &tüm sayfalar"), this);
    rbPdfRange = new QRadioButton(tr("PDF, &sayfa aralığı"), this);
    rbPng = new QRadioButton(tr("&PNG, bu sayfa (%1)").arg(CurrentPage), this);
    rbCopy = new QRadioButton(tr("&Rapor dosyasının kopyası"), this);
    seFrom = new QSpinBox(this);
    seTo = new QSpinBox(this);
    for (QSpinBox* s : {seFrom, seTo}) {
        s->setRange(1, std::max(PageCount, 1));
        s->setMinimumWidth(s->fontMetrics().horizontalAdvance(QString::number(s->maximum())) + 40);
    }
    seFrom->setValue(1);
    seTo->setValue(std::max(PageCount, 1));
    seDpi = new QSpinBox(this);
    seDpi->setRange(24, 1200);
    seDpi->setValue(150);
    seDpi->setSuffix(QStringLiteral(" dpi"));
    seDpi->setMinimumWidth(seDpi->fontMetrics().horizontalAdvance(QStringLiteral("1200 dpi")) + 40);

    FKinds->addButton(rbPdfAll, PdfAll);
    FKinds->addButton(rbPdfRange, PdfRange);
    FKinds->addButton(rbPng, PngPage);
    FKinds->addButton(rbCopy, ReportCopy);
    rbPdfAll->setChecked(true);

    layout->addWidget(rbPdfAll);
    auto* range = new QHBoxLayout;
    range->addWidget(rbPdfRange);
    range->addWidget(seFrom);
    range->addWidget(new QLabel(QStringLiteral("-"), this));
    range->addWidget(seTo);
    range->addStretch(1);
    layout->addLayout(range);
    auto* png = new QHBoxLayout;
    png->addWidget(rbPng);
    png->addWidget(seDpi);
    png->addStretch(1);
    layout->addLayout(png);
    layout->addWidget(rbCopy);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Tamam"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Vazgeç"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const auto follow = [this] {
        seFrom->setEnabled(rbPdfRange->isChecked());
        seTo->setEnabled(rbPdfRange->isChecked());
        seDpi->setEnabled(rbPng->isChecked());
    };
    connect(FKinds, &QButtonGroup::idToggled, this, follow);
    follow();
}

TExportDialog::TKind TExportDialog::Kind() const
{
    return static_cast<TKind>(FKinds->checkedId());
}

int TExportDialog::FromPage() const
{
    return seFrom->value();
}

int TExportDialog::ToPage() const
{
    return seTo->value();
}

int TExportDialog::Dpi() const
{
    return seDpi->value();
}

bool RunExport(QWidget* Parent, TQRPrinter& Document, const TExportDialog& Choice, int CurrentPage,
               const QString& FileName)
{
    switch (Choice.Kind()) {
    case TExportDialog::PngPage: ExportPng(Document, CurrentPage, Choice.Dpi(), FileName); return true;
    case TExportDialog::ReportCopy: ExportReportCopy(Document, FileName); return true;
    case TExportDialog::PdfAll:
    case TExportDialog::PdfRange: break;
    }
    const bool all = Choice.Kind() == TExportDialog::PdfAll;
    const int first = all ? 1 : Choice.FromPage();
    const int last = all ? Document.PageCount() : Choice.ToPage();
    QProgressDialog progress(QCoreApplication::translate("TExportDialog", "PDF yazılıyor..."), QCoreApplication::translate("TExportDialog", "Vazgeç"), 0,
                             std::max(last - first + 1, 1), Parent);
    progress.setWindowTitle(QCoreApplication::translate("TExportDialog", "Dışa Aktar"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressDelayMs);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    return ExportPdf(Document, first, last, FileName, [&progress](int Done, int) {
        progress.setValue(Done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
}

void RunExportDialog(QWidget* Parent, TQRPrinter& Document, int CurrentPage)
{
    TExportDialog choice(Parent, Document.PageCount(), CurrentPage);
    if (choice.exec() != QDialog::Accepted)
        return;
    const bool pdf = choice.Kind() == TExportDialog::PdfAll || choice.Kind() == TExportDialog::PdfRange;
    const bool png = choice.Kind() == TExportDialog::PngPage;
    const QString suffix = pdf ? QStringLiteral(".pdf") : png ? QStringLiteral(".png") : QStringLiteral(".qrp");
    QFileDialog dialog(Parent, QCoreApplication::translate("TExportDialog", "Dışa Aktar"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(pdf   ? QCoreApplication::translate("TExportDialog", "PDF (*.pdf)")
                         : png ? QCoreApplication::translate("TExportDialog", "PNG (*.png)")
                               : QCoreApplication::translate("TExportDialog", "Rapor Dosyası (*.qrp *.QRP)"));
    dialog.setDefaultSuffix(suffix.mid(1));
    dialog.selectFile(SuggestedName(Document, suffix));
    const std::optional<QString> target = ExecuteFileDialog(dialog);
    if (!target)
        return;
    SetLastExportFolder(QFileInfo(*target).absolutePath());
    RunReportingErrors(Parent, [&] { RunExport(Parent, Document, choice, CurrentPage, *target); });
}

void CopyPageToClipboard(TQRPrinter& Document, int Page)
{
    std::unique_ptr<TMetafile> page = Document.GetPage(Page);
    if (page)
        QGuiApplication::clipboard()->setImage(RenderPageImage(*page, 96));
}
