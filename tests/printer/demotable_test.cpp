// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emftext/emftext.h"
#include "platform/metafile.h"
#include "printer/demolayout.h"
#include "printer/demoreport.h"
#include "printer/demosales.h"
#include "printer/qrprinter.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

// The right-aligned columns' left and right rules, in 0.1 mm of the sheet.
struct TRightColumn {
    const char* Title;
    long double Left, Right;
};

std::vector<TRightColumn> RightColumns(const TDemoGeometry& G)
{
    std::vector<TRightColumn> out;
    long double x = G.Left;
    for (const TDemoColumn& c : DemoColumns) {
        const long double w = G.Width() * c.Share;
        if (c.Right)
            out.push_back({c.Title, x, x + w});
        x += w;
    }
    return out;
}

} // namespace

// On narrow paper even four-digit row numbers are wider than their column;
// on A4 the same happens from row 10.000 on. Every right-aligned value keeps
// its right edge at the cell's inset and its left edge inside the column.
TEST(DemoTable, RowNumbersAndAmountsStayInsideTheirColumnsOnTheLastPage)
{
    TQRPrinter doc;
    TDemoReportOptions o;
    o.Paper = TQRPaperSize::A5;
    const TDemoGeometry g = DemoGeometry(1480, 2100); // A5 portrait
    ASSERT_GT(g.RowsPerPage, 0);
    // Enough pages for 2.000 rows.
    o.Pages = (2000 - g.LastPageRows + g.RowsPerPage - 1) / g.RowsPerPage + 1;
    ProduceDemoReport(doc, o);
    ASSERT_EQ(doc.PageCount(), o.Pages);
    const int lastRow = (o.Pages - 1) * g.RowsPerPage + g.LastPageRows;
    ASSERT_GE(lastRow, 2000);

    const auto page = doc.GetPage(o.Pages);
    const TEmfTextRuns runs = EmfTextRuns(*page);
    ASSERT_FALSE(runs.Damaged);
    const long double tableTop = g.TableTop,
                      tableBottom = g.TableTop + g.HeadHeight + (g.LastPageRows + 1) * g.RowHeight;
    std::map<std::string, int> counts;
    QStringList rowNumbers;
    for (const TRightColumn& c : RightColumns(g)) {
        const double anchor = doc.XPos(c.Right - g.Pad), left = doc.XPos(c.Left), right = doc.XPos(c.Right);
        for (const TEmfTextRun& r : runs.Runs) {
            const QRectF b = r.Bounds();
            if (b.center().y() < doc.YPos(tableTop) || b.center().y() > doc.YPos(tableBottom - g.RowHeight))
                continue;
            if (std::abs(b.right() - anchor) > 1.5)
                continue;
            ++counts[c.Title];
            if (c.Left == g.Left)
                rowNumbers << r.Text;
            EXPECT_GE(b.left(), left) << c.Title << " \"" << r.Text.toStdString() << "\" over the left rule";
            EXPECT_LE(b.right(), right) << c.Title << " \"" << r.Text.toStdString() << "\"";
        }
    }
    // The heading and every row of the page, each right-aligned.
    for (const TRightColumn& c : RightColumns(g))
        EXPECT_EQ(counts[c.Title], g.LastPageRows + 1) << c.Title;
    EXPECT_TRUE(rowNumbers.contains(FormatTurkishInteger(lastRow))) << rowNumbers.join(' ').toStdString();
}
