// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/demoreport.h"

#include "platform/emf/canvas.h"
#include "printer/demolayout.h"
#include "printer/demosales.h"
#include "printer/qrprinter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

const QColor Navy(0x1f, 0x3a, 0x5f);
const QColor Orange(0xf2, 0x8c, 0x28);
const QColor Shade(0xee, 0xf2, 0xf7);
const QColor Rule(0xc8, 0xce, 0xd6);
const QColor Grey(0x55, 0x5f, 0x6b);

const auto& Columns = DemoColumns;
constexpr int ColumnCount = DemoColumnCount;

// Drawn, not loaded, so the samples need no image files: an orange disc
// with a white ring and two dots (an "Ö") on a navy tile.
QImage DemoLogo()
{
    // Small, since every page carries its own copy.
    QImage logo(80, 80, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a grid of 120 units a side, scaled to the image.
    p.scale(80.0 / 120.0, 80.0 / 120.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Navy);
    p.drawRoundedRect(QRectF(4, 4, 112, 112), 18, 18);
    p.setBrush(Orange);
    p.drawEllipse(QPointF(60, 66), 40, 40);
    QPainterPath ring;
    ring.addEllipse(QPointF(60, 72), 22, 24);
    ring.addEllipse(QPointF(60, 72), 12, 14);
    p.setBrush(Qt::white);
    p.drawPath(ring);
    p.drawEllipse(QPointF(49, 38), 5, 5);
    p.drawEllipse(QPointF(71, 38), 5, 5);
    return logo;
}

class TDemoPage {
public:
    TDemoPage(TQRPrinter& Printer, const TDemoGeometry& G, const QImage& Logo)
        : Document(Printer), C(*Printer.Canvas()), G(G), Logo(Logo)
    {
    }

    void Header();
    void TableHead(long double Top);
    void Row(long double Top, const TDemoSale& Sale, bool Shaded);
    void PageTotal(long double Top, int64_t Amount);
    void Grid(long double Top, long double Bottom);
    void Summary(long double Top, const TDemoTotals& Totals);
    void Footer(int Page, int Pages);

private:
    QRect Box(long double X, long double Y, long double W, long double H) const
    {
        const QPoint tl(Document.XPos(X), Document.YPos(Y));
        return QRect(tl, QPoint(Document.XPos(X + W), Document.YPos(Y + H)) - QPoint(1, 1));
    }
    void Font(const char* Name, double Points, int Weight, bool Italic = false, QColor Color = Qt::black)
    {
        C.Font.Name = QString::fromLatin1(Name);
        C.Font.Height = -Document.YSize(Points * 254.0L / 72.0L);
        C.Font.Weight = Weight;
        C.Font.Italic = Italic;
        C.Font.Color = Color;
    }
    void Text(long double X, long double Y, const QString& S, unsigned Align = TA_LEFT)
    {
        C.SetTextAlign(Align | TA_BASELINE);
        C.TextOut(Document.XPos(X), Document.YPos(Y), S);
    }
    // Right-aligned text ending at X. Text wider than Room (0.1 mm) is drawn
    // in a narrower font, as a report generator fits a number to its cell,
    // so that no row number or amount runs over the column's left rule.
    void FittedText(long double X, long double Y, long double Room, const QString& S)
    {
        const int room = Document.XSize(Room);
        const int natural = C.Font.Width;
        if (room > 0 && C.TextWidth(S) > room) {
            // Advances grow with the font's average character width: measured
            // at a reference width, the width that fits follows by proportion.
            constexpr int64_t Reference = 1000;
            C.Font.Width = int(Reference);
            const int64_t wide = std::max(C.TextWidth(S), 1);
            C.Font.Width = int(std::clamp<int64_t>(Reference * room / wide, 1, Reference));
            // Rounding of the pen position may still add a unit or two.
            for (int i = 0; i < 4 && C.Font.Width > 1 && C.TextWidth(S) > room; ++i)
                --C.Font.Width;
        }
        Text(X, Y, S, TA_RIGHT);
        C.Font.Width = natural;
    }
    // Left-aligned text cut at the cell's edge, so long names never run
    // into the next column.
    void ClippedText(long double X, long double Y, const QRect& Cell, const QString& S)
    {
        C.SetTextAlign(TA_LEFT | TA_BASELINE);
        C.ExtTextOut(Document.XPos(X), Document.YPos(Y), ETO_CLIPPED, &Cell, S);
    }
    void Fill(const QRect& R, const QColor& Color)
    {
        C.Brush.Style = bsSolid;
        C.Brush.Color = Color;
        C.FillRect(R);
    }
    void Line(long double X1, long double Y1, long double X2, long double Y2, const QColor& Color, int Width = 1)
    {
        C.Pen.Color = Color;
        C.Pen.Width = Width;
        C.Pen.Style = psSolid;
        C.MoveTo(Document.XPos(X1), Document.YPos(Y1));
        C.LineTo(Document.XPos(X2), Document.YPos(Y2));
    }
    void Cells(long double Top, const QString (&Values)[ColumnCount]);

    TQRPrinter& Document;
    TCanvas& C;
    const TDemoGeometry& G;
    const QImage& Logo;
};

// In 0.1 mm from the band's top left corner: a logo 18 mm square; the
// company's lines 22 mm in (4 mm right of the logo) and the list's title at
// the right edge, both at 6, 11.5 and 15.5 mm down; the rule under the band
// at 20.5 mm.
void TDemoPage::Header()
{
    C.StretchDraw(Box(G.Left, G.Top, 180, 180), Logo);
    const long double x = G.Left + 220;
    Font("Times New Roman", 16, 700, false, Navy);
    Text(x, G.Top + 60, QStringLiteral("Öztürk Çelik Sanayi ve Ticaret A.Ş."));
    Font("Arial", 8, 400, false, Grey);
    Text(x, G.Top + 115, QStringLiteral("Organize Sanayi Bölgesi, Mavi Cadde No: 14, 16140 Nilüfer / Bursa"));
    Text(x, G.Top + 155, QStringLiteral("Tel: (0224) 555 01 23 · Vergi Dairesi: Uludağ · VKN: 6490123458"));
    Font("Arial", 13, 700, false, Navy);
    Text(G.Right, G.Top + 60, QStringLiteral("SATIŞ LİSTESİ"), TA_RIGHT);
    Font("Arial", 8, 400);
    Text(G.Right, G.Top + 115, QStringLiteral("Dönem: Ocak – Aralık 2024"), TA_RIGHT);
    Text(G.Right, G.Top + 155, QStringLiteral("Para birimi: Türk lirası"), TA_RIGHT);
    Line(G.Left, G.Top + 205, G.Right, G.Top + 205, Navy, Document.YSize(6));
}

void TDemoPage::Cells(long double Top, const QString (&Values)[ColumnCount])
{
    long double x = G.Left;
    for (int i = 0; i < ColumnCount; ++i) {
        const long double w = G.Width() * Columns[i].Share;
        const long double baseline = Top + G.RowHeight * 0.68L;
        if (Columns[i].Right)
            FittedText(x + w - G.Pad, baseline, w - 2 * G.Pad, Values[i]);
        else
            ClippedText(x + G.Pad, baseline, Box(x, Top, w - G.Pad / 2, G.RowHeight), Values[i]);
        x += w;
    }
}

void TDemoPage::TableHead(long double Top)
{
    Fill(Box(G.Left, Top, G.Width(), G.HeadHeight), Navy);
    Font("Arial", 8, 700, false, Qt::white);
    QString titles[ColumnCount];
    for (int i = 0; i < ColumnCount; ++i)
        titles[i] = QString::fromUtf8(Columns[i].Title);
    Cells(Top + (G.HeadHeight - G.RowHeight) / 2, titles);
}

void TDemoPage::Row(long double Top, const TDemoSale& Sale, bool Shaded)
{
    if (Shaded)
        Fill(Box(G.Left, Top, G.Width(), G.RowHeight), Shade);
    Font("Arial", 8, 400);
    const QString values[ColumnCount] = {
        FormatTurkishInteger(Sale.Number),
        QString(),
        Sale.Date,
        Sale.Customer,
        Sale.Product,
        FormatTurkishInteger(Sale.Quantity),
        FormatTurkishAmount(Sale.UnitPrice),
        FormatTurkishAmount(Sale.Amount),
    };
    Cells(Top, values);
    // The invoice number in a typewriter face, as the accounting system prints it.
    Font("Courier New", 8, 400, false, Navy);
    const long double x = G.Left + G.Width() * Columns[0].Share;
    ClippedText(x + G.Pad, Top + G.RowHeight * 0.68L, Box(x, Top, G.Width() * Columns[1].Share, G.RowHeight),
                Sale.Invoice);
    Line(G.Left, Top + G.RowHeight, G.Right, Top + G.RowHeight, Rule);
}

void TDemoPage::PageTotal(long double Top, int64_t Amount)
{
    Fill(Box(G.Left, Top, G.Width(), G.RowHeight), QColor(0xdb, 0xe4, 0xf0));
    Font("Arial", 8, 700, false, Navy);
    Text(G.Left + G.Pad, Top + G.RowHeight * 0.68L, QStringLiteral("Sayfa toplamı"));
    Text(G.Right - G.Pad, Top + G.RowHeight * 0.68L, FormatTurkishAmount(Amount), TA_RIGHT);
}

void TDemoPage::Grid(long double Top, long double Bottom)
{
    long double x = G.Left;
    for (int i = 0; i + 1 < ColumnCount; ++i) {
        x += G.Width() * Columns[i].Share;
        Line(x, Top + G.HeadHeight, x, Bottom - G.RowHeight, Rule);
    }
    C.Pen.Color = Navy;
    C.Pen.Width = 1;
    C.Brush.Style = bsClear;
    C.Rectangle(Box(G.Left, Top, G.Width(), Bottom - Top));
}

void TDemoPage::Summary(long double Top, const TDemoTotals& Totals)
{
    const long double w = G.Width() * 0.42L;
    const long double x = G.Right - w;
    Fill(Box(x, Top, w, G.HeadHeight), Navy);
    Font("Arial", 9, 700, false, Qt::white);
    Text(x + G.Pad, Top + G.HeadHeight * 0.68L, QStringLiteral("ÖZET"));

    const struct {
        const char* Label;
        QString Value;
    } lines[] = {
        {"Fatura sayısı", FormatTurkishInteger(Totals.Count)},
        {"Toplam miktar", FormatTurkishInteger(Totals.Quantity) + QStringLiteral(" adet")},
        {"Ara toplam", FormatTurkishAmount(Totals.Amount) + QStringLiteral(" TL")},
        {"KDV (%20)", FormatTurkishAmount(Totals.Vat) + QStringLiteral(" TL")},
    };
    long double y = Top + G.HeadHeight;
    Font("Arial", 9, 400);
    for (const auto& l : lines) {
        Text(x + G.Pad, y + G.RowHeight * 0.68L, QString::fromUtf8(l.Label));
        Text(G.Right - G.Pad, y + G.RowHeight * 0.68L, l.Value, TA_RIGHT);
        y += G.RowHeight;
    }
    Line(x, y, G.Right, y, Navy, Document.YSize(4));
    Font("Arial", 10, 700, false, Navy);
    Text(x + G.Pad, y + G.RowHeight * 0.75L, QStringLiteral("Genel toplam"));
    Text(G.Right - G.Pad, y + G.RowHeight * 0.75L,
         FormatTurkishAmount(Totals.Amount + Totals.Vat) + QStringLiteral(" TL"), TA_RIGHT);
    y += G.RowHeight * 1.2L;
    C.Pen.Color = Navy;
    C.Brush.Style = bsClear;
    C.Rectangle(Box(x, Top, w, y - Top));

    // Left of the summary box, in 0.1 mm below its top: two notes, then two
    // signature lines over 0-22% and 28-50% of the table's width with the
    // names 5 mm under them.
    Font("Arial", 8, 400, true, Grey);
    Text(G.Left, Top + 50, QStringLiteral("Tutarlar Türk lirası cinsindendir; KDV oranı %20 uygulanmıştır."));
    Text(G.Left, Top + 95, QStringLiteral("Bu liste örnek amaçlıdır, gerçek kişi ve kurumlarla ilgisi yoktur."));
    Font("Arial", 8, 400);
    Text(G.Left, Top + 300, QStringLiteral("Hazırlayan: Gülşen Yılmaz"));
    Text(G.Left + G.Width() * 0.28L, Top + 300, QStringLiteral("Onaylayan: İsmail Çakır"));
    Line(G.Left, Top + 250, G.Left + G.Width() * 0.22L, Top + 250, Grey);
    Line(G.Left + G.Width() * 0.28L, Top + 250, G.Left + G.Width() * 0.50L, Top + 250, Grey);
}

void TDemoPage::Footer(int Page, int Pages)
{
    Line(G.Left, G.FooterRule, G.Right, G.FooterRule, Navy);
    Font("Arial", 7, 400, true, Grey);
    Text(G.Left, G.FooterRule + 45, QStringLiteral("Öztürk Çelik · Satış Listesi 2024"));
    Font("Arial", 8, 700, false, Navy);
    Text(G.Right, G.FooterRule + 45, QStringLiteral("Sayfa %1 / %2").arg(Page).arg(Pages), TA_RIGHT);
}

} // namespace

void ProduceDemoReport(TQRPrinter& Printer, const TDemoReportOptions& Options)
{
    Printer.aPrinterSettings->SetDetectedPaper(Options.Paper, Options.Orientation);
    const TDemoGeometry g = DemoGeometry(Printer.PaperWidthValue(), Printer.PaperLengthValue());
    const int pages = std::clamp(Options.Pages, 1, DemoMaxPages);
    if (g.RowsPerPage < 1 || g.LastPageRows < 1)
        throw Exception(std::string("paper ") + PaperSizeName(Options.Paper) + " is too small for the demo report");

    Printer.SetCompression(Options.Compress);
    Printer.SetTitle(QStringLiteral("Satış Listesi 2024"));
    Printer.BeginDoc();
    const QImage logo = DemoLogo();
    TDemoTotals totals;
    int sale = 0;
    for (int page = 1; page <= pages; ++page) {
        if (Printer.Cancelled()) {
            Printer.AbortDoc();
            return;
        }
        Printer.NewPage();
        TDemoPage p(Printer, g, logo);
        p.Header();
        p.TableHead(g.TableTop);
        const int rows = page < pages ? g.RowsPerPage : g.LastPageRows;
        long double y = g.TableTop + g.HeadHeight;
        int64_t pageAmount = 0;
        for (int r = 0; r < rows; ++r, y += g.RowHeight) {
            const TDemoSale s = DemoSale(++sale);
            totals.Add(s);
            pageAmount += s.Amount;
            p.Row(y, s, r % 2 == 1);
        }
        p.PageTotal(y, pageAmount);
        y += g.RowHeight;
        p.Grid(g.TableTop, y);
        if (page == pages)
            p.Summary(y + g.SummaryGap, totals);
        p.Footer(page, pages);
    }
    Printer.EndDoc();
}

std::optional<TQRPaperSize> DemoPaperFromName(const QString& Name)
{
    for (int i = 1; i < QRPaperSizeCount - 1; ++i) {
        const auto size = static_cast<TQRPaperSize>(i);
        if (Name.compare(QLatin1String(PaperSizeName(size)), Qt::CaseInsensitive) == 0)
            return size;
    }
    return std::nullopt;
}

void SaveDemoReport(const QString& FileName, int Pages)
{
    TQRPrinter maker;
    TDemoReportOptions options;
    options.Pages = Pages;
    ProduceDemoReport(maker, options);
    maker.Save(FileName);
}
