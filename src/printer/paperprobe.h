// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paper a report file was made for, as the viewer derives it from the
// first page when loading, without any printer's say.
#include "printer/qrpapers.h"

#include <QString>

// Throws the loader's error when the file is not a readable report.
TPaperDetection DetectReportPaper(const QString& FileName);
// The same from the size of the first page in reference-device pixels
// (TMetafile::Width and Height), for a caller that has read it already.
TPaperDetection DetectFirstPagePaper(int WidthPx, int HeightPx);
