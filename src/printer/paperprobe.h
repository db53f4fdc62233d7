#pragma once
// The paper a report file was made for, as the viewer derives it from the
// first page when loading, without any printer's say.
#include "printer/qrpapers.h"

#include <QString>

// Throws the loader's error when the file is not a readable report.
TPaperDetection DetectReportPaper(const QString& FileName);
