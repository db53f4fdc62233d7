// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/demolayout.h"

#include <algorithm>
#include <cmath>

const TDemoColumn DemoColumns[8] = {
    {"Sıra", 0.06, true},  {"Fatura No", 0.14, false}, {"Tarih", 0.10, false},      {"Müşteri", 0.22, false},
    {"Ürün", 0.20, false}, {"Miktar", 0.07, true},     {"Birim Fiyat", 0.10, true}, {"Tutar (TL)", 0.11, true},
};

TDemoGeometry DemoGeometry(int PaperWidth, int PaperLength)
{
    TDemoGeometry g;
    // Margins as wide on the right as on the left; the footer's rule 18 mm
    // above the paper's bottom edge, its text below the rule.
    g.Right = PaperWidth - g.Left;
    g.FooterRule = PaperLength - 180;
    // Every page ends with one page-total row under the sales rows, and 2 mm
    // of air above the footer's rule.
    const long double rowsArea = g.FooterRule - 20 - (g.TableTop + g.HeadHeight);
    const int fit = rowsArea > 0 ? static_cast<int>(std::floor(rowsArea / g.RowHeight)) - 1 : 0;
    g.RowsPerPage = std::max(fit, 0);
    const int summaryRows = static_cast<int>(std::ceil((g.SummaryGap + g.SummaryHeight) / g.RowHeight));
    // The last page is a short one, so that the summary stands out.
    g.LastPageRows = std::max(std::min(g.RowsPerPage - summaryRows, g.RowsPerPage / 2), 0);
    // The table's columns need 10 cm; a narrower sheet gets no rows at all.
    if (g.Width() < 1000)
        g.RowsPerPage = g.LastPageRows = 0;
    return g;
}
