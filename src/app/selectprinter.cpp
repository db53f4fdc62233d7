// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/selectprinter.h"

#include "app/dialogs.h"
#include "app/formfont.h"

#include "platform/print/printer.h"
#include "printer/qrprinter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>

#include <algorithm>
#include <climits>

namespace {

const QString DigitChars = QStringLiteral("0123456789");

// Two curved arrows chasing each other round a circle.
QPixmap DefaultGlyph(const QColor& Colour)
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Colour, 2.2, Qt::SolidLine, Qt::RoundCap));
    const QRectF circle(3, 3, 12, 12);
    p.drawArc(circle, 30 * 16, 130 * 16);
    p.drawArc(circle, 210 * 16, 130 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Colour);
    p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(7, 5), QPointF(3.5, 9.5)}));
    p.drawPolygon(QPolygonF({QPointF(16, 13), QPointF(11, 13), QPointF(14.5, 8.5)}));
    return pixmap;
}

QIcon DefaultIcon()
{
    QIcon icon;
    icon.addPixmap(DefaultGlyph(QColor(0, 128, 0)), QIcon::Normal);
    icon.addPixmap(DefaultGlyph(QColor(128, 128, 128)), QIcon::Disabled);
    return icon;
}

template <class W>
W* Place(W* Widget, const char* Name, int Left, int Top, int Width, int Height)
{
    Widget->setObjectName(QLatin1String(Name));
    Widget->setGeometry(Left, Top, Width, Height);
    return Widget;
}

// Labels size themselves to their caption, keeping their place, so that a
// face a little wider than the design's never cuts a caption.
QLabel* GrowToCaption(QLabel* Label)
{
    Label->resize(std::max(Label->width(), Label->sizeHint().width()), Label->height());
    return Label;
}

// An emptied field counts as one copy instead of falling back to the last
// number shown.
class TCopiesSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void fixup(QString& Input) const override
    {
        if (Input.trimmed().isEmpty())
            Input = QStringLiteral("1");
        else
            QSpinBox::fixup(Input);
    }
};

} // namespace

QString RangeFieldError(const QString& Text, const QString& Which)
{
    if (Text.isEmpty())
        return Which + QCoreApplication::translate("TfrmSelectPrinter", " boş. Lütfen bir sayfa numarası yazın.");
    for (QChar c : Text)
        if (!DigitChars.contains(c))
            return Which + QCoreApplication::translate("TfrmSelectPrinter", " bir sayfa numarası değil.");
    QString digits = Text;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 10 || digits.toLongLong() > INT_MAX)
        return Which + QCoreApplication::translate("TfrmSelectPrinter", " çok büyük: en fazla %1 olabilir.").arg(INT_MAX);
    return QString();
}

TfrmSelectPrinter::TfrmSelectPrinter(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("Yazıcı Seçimi"));
    setFont(FormFont());
    setFixedSize(406, 176);

    Label1 = GrowToCaption(Place(new QLabel(tr("Y&azıcı"), this), "Label1", 8, 8, 28, 13));
    cbPrinters = Place(new QComboBox(this), "cbPrinters", 48, 5, 273, 21);
    Label1->setBuddy(cbPrinters);

    GroupBox1 = Place(new QGroupBox(tr("Yazdırma Aralığı"), this), "GroupBox1", 8, 40, 201, 73);
    AllPagesRb = Place(new QRadioButton(tr("Tüm &Sayfalar"), GroupBox1), "AllPagesRb", 6, 16, 113, 17);
    RangeRb = Place(new QRadioButton(tr("Başlangıç-Bitiş"), GroupBox1), "RangeRb", 6, 36, 97, 17);
    FromEdt = Place(new QLineEdit(GroupBox1), "FromEdt", 112, 36, 33, 21);
    Label3 = GrowToCaption(Place(new QLabel(QStringLiteral("-"), GroupBox1), "Label3", 146, 38, 3, 13));
    ToEdt = Place(new QLineEdit(GroupBox1), "ToEdt", 154, 36, 33, 21);
    Label3->setBuddy(ToEdt);
    AllPagesRb->setChecked(true);
    FromEdt->setEnabled(false);
    ToEdt->setEnabled(false);

    GroupBox2 = Place(new QGroupBox(tr("Kopya Adeti"), this), "GroupBox2", 216, 40, 169, 74);
    Label4 = GrowToCaption(Place(new QLabel(tr("Kopya Adeti"), GroupBox2), "Label4", 8, 24, 57, 13));
    CopiesSe = Place(new TCopiesSpinBox(GroupBox2), "CopiesSe", 104, 21, 49, 22);
    CopiesSe->setRange(1, 99);
    CopiesSe->setValue(1);
    Label4->setBuddy(CopiesSe);

    BitBtn3 = Place(new QPushButton(DefaultIcon(), tr("&Varsayılan"), this), "BitBtn3", 147, 121, 86, 29);
    BitBtn1 = Place(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("Tamam"), this),
                    "BitBtn1", 236, 121, 75, 29);
    BitBtn2 = Place(
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("Vazgeç"), this),
        "BitBtn2", 312, 121, 75, 29);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);

    Bevel1 = Place(new QFrame(this), "Bevel1", 0, 156, 406, 20);
    Bevel1->setFrameShape(QFrame::Panel);
    Bevel1->setFrameShadow(QFrame::Sunken);
    StatusLbl = Place(new QLabel(this), "StatusLbl", 4, 160, 44, 13);
    StatusLbl->setMinimumWidth(44);
    StatusLbl->adjustSize();

    setTabOrder(cbPrinters, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, AllPagesRb);
    setTabOrder(AllPagesRb, RangeRb);
    setTabOrder(RangeRb, FromEdt);
    setTabOrder(FromEdt, ToEdt);
    setTabOrder(ToEdt, CopiesSe);

    connect(cbPrinters, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cbPrintersChange(); });
    connect(BitBtn3, &QPushButton::clicked, this, &TfrmSelectPrinter::BitBtn3Click);
    connect(AllPagesRb, &QRadioButton::clicked, this, &TfrmSelectPrinter::AllPagesRbClick);
    connect(RangeRb, &QRadioButton::clicked, this, &TfrmSelectPrinter::AllPagesRbClick);
    connect(FromEdt, &QLineEdit::textChanged, this, [this] { FromEdtChange(FromEdt); });
    connect(ToEdt, &QLineEdit::textChanged, this, [this] { FromEdtChange(ToEdt); });
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmSelectPrinter::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmSelectPrinter::~TfrmSelectPrinter() = default;

void TfrmSelectPrinter::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    // Restoring from the task bar shows the window again; set it up once.
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TfrmSelectPrinter::FormShow()
{
    StatusLbl->setText(tr("Lütfen Bekleyin..."));
    StatusLbl->adjustSize();
    Printer = std::make_unique<TPrinter>();
    if (NumCopies < 1)
        NumCopies = 1;
    CopiesSe->setValue(NumCopies);
    {
        // The probe runs once, below, when the list is complete.
        const QSignalBlocker blocker(cbPrinters);
        cbPrinters->addItems(Printer->Printers());
        cbPrinters->setCurrentIndex(PrinterIndex >= 0 && PrinterIndex < cbPrinters->count() ? PrinterIndex : -1);
    }
    const int pageCount = QRPrinter ? QRPrinter->PageCount() : 0;
    AllPagesRb->setText(QString::number(pageCount) + tr(". sayfa"));
    FromEdt->setText(QStringLiteral("1"));
    ToEdt->setText(QString::number(pageCount));
    QCoreApplication::processEvents();
    cbPrintersChange();
}

void TfrmSelectPrinter::cbPrintersChange()
{
    if (!QRPrinter)
        return;
    const int oldIndex = QRPrinter->PrinterIndex();
    QRPrinter->SetPrinterIndex(cbPrinters->currentIndex());
    const int oldCopies = QRPrinter->Copies();
    QRPrinter->SetCopies(2);
    const bool multiple = QRPrinter->Copies() >= 2;
    StatusLbl->setText(multiple ? tr("Yazıcı çoklu kopya sistemini destekliyor.")
                                : tr("Yazıcı çoklu kopya sistemini desteklemiyor."));
    StatusLbl->adjustSize();
    QRPrinter->SetCopies(oldCopies);
    QRPrinter->SetPrinterIndex(oldIndex);
}

void TfrmSelectPrinter::BitBtn3Click()
{
    if (!Printer || Printer->Printers().isEmpty())
        return;
    Printer->SetPrinterIndex(-1);
    const QSignalBlocker blocker(cbPrinters);
    cbPrinters->setCurrentIndex(Printer->PrinterIndex());
    cbPrintersChange();
}

void TfrmSelectPrinter::AllPagesRbClick()
{
    FromEdt->setEnabled(RangeRb->isChecked());
    ToEdt->setEnabled(FromEdt->isEnabled());
}

void TfrmSelectPrinter::FromEdtChange(QLineEdit* Edit)
{
    for (QChar c : Edit->text())
        if (!DigitChars.contains(c)) {
            Edit->clear();
            return;
        }
}

bool TfrmSelectPrinter::ReadRangeField(QLineEdit* Edit, const QString& Which, int& Value)
{
    const QString error = RangeFieldError(Edit->text(), Which);
    if (!error.isEmpty()) {
        ShowMessage(this, error);
        Edit->setFocus();
        return false;
    }
    Value = Edit->text().toInt();
    return true;
}

void TfrmSelectPrinter::BitBtn1Click()
{
    int from = 0, to = 0;
    // An unusable number keeps the window open instead of printing every page.
    if (RangeRb->isChecked() && (!ReadRangeField(FromEdt, tr("Başlangıç sayfası"), from) ||
                                 !ReadRangeField(ToEdt, tr("Bitiş sayfası"), to)))
        return;
    FromPage = from;
    ToPage = to;
    bool number = false;
    CopiesSe->cleanText().toInt(&number);
    NumCopies = number ? CopiesSe->value() : 1;
    accept();
}
