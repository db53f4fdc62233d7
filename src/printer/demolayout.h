// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the demo report's parts go on a sheet, in 0.1 mm from the paper's
// top left corner, and how many table rows fit on each page.

#include <iterator>

// The table's columns, left to right.
struct TDemoColumn {
    const char* Title; // UTF-8
    double Share;      // of the table width
    bool Right;        // numbers are right-aligned
};
extern const TDemoColumn DemoColumns[8];
constexpr int DemoColumnCount = static_cast<int>(std::size(DemoColumns));

struct TDemoGeometry {
    long double Left = 150, Right = 0; // table edges
    long double Top = 120;             // header band
    long double TableTop = 360;
    long double HeadHeight = 70; // table heading row
    long double RowHeight = 55;
    long double Pad = 15; // text inset in a cell
    long double FooterRule = 0;
    long double SummaryGap = 60; // between the table and the summary
    long double SummaryHeight = 520;
    int RowsPerPage = 0;  // sales rows of a full page
    int LastPageRows = 0; // sales rows above the summary
    long double Width() const { return Right - Left; }
};

// For a sheet of PaperWidth × PaperLength (0.1 mm, as laid out). A sheet too
// small for a row, or for one row and the summary on the last page, gives 0
// rows there.
TDemoGeometry DemoGeometry(int PaperWidth, int PaperLength);
