// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splicing whole report files page by page: the range and copies files of
// a print job, and the merge and extract commands of qrptool.
#include <QString>
#include <QStringList>

// Writes to Dest one report of all pages of Files, in list order. Returns
// -1 for an empty Dest, -2 when Files is null, -3 when it has no entries
// (later conditions win) and 0 once written; nothing is read or written
// unless the result is 0. Errors reading or writing are thrown.
int MergeReportFiles(const QString& Dest, const QStringList* Files);

// Writes to Dest the pages p of Source with First <= p <= Last, or all of
// them when First is 0. Always true; a range that selects no page gives a
// report of no pages.
bool ExtractPageRange(const QString& Source, const QString& Dest, int First, int Last);

// How many pages of a report of PageCount pages ExtractPageRange selects.
int PagesInRange(int PageCount, int First, int Last);

// A new, empty, uniquely named "QRP*.TMP" file in the temporary folder.
QString NewTempFileName();
