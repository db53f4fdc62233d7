// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a file into a report document: a saved report, or a single EMF
// file shown as a report of one page. The kind is told by content, so a
// renamed file opens all the same.
#include <QString>

#include <functional>

class QDropEvent;
class QMimeData;
class QWidget;
class TQRPrinter;

// The file begins with an EMF header record (type 1, " EMF" signature).
bool IsEmfFile(const QString& FileName);
// Loads FileName into Document as Load does, or as a one-page report when
// it is an EMF file.
void LoadReportOrEmf(TQRPrinter& Document, const QString& FileName);
// The first local file among dragged URLs; empty when there is none.
QString DroppedFile(const QMimeData* Data);
// A drop on Window: opens the dropped file with Open, or says it is gone.
void OpenDroppedFile(QWidget* Window, QDropEvent* Event, const std::function<void(const QString&)>& Open);
