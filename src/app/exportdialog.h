// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's export window (Ctrl+S): what to write, then where, then a
// cancellable progress window for long exports.
#include <QDialog>

class QButtonGroup;
class QRadioButton;
class QSpinBox;
class TQRPrinter;

class TExportDialog : public QDialog {
    Q_OBJECT
public:
    enum TKind { PdfAll, PdfRange, PngPage, ReportCopy };

    TExportDialog(QWidget* Parent, int PageCount, int CurrentPage);

    TKind Kind() const;
    int FromPage() const;
    int ToPage() const;
    int Dpi() const;

    QRadioButton* rbPdfAll = nullptr;
    QRadioButton* rbPdfRange = nullptr;
    QRadioButton* rbPng = nullptr;
    QRadioButton* rbCopy = nullptr;
    QSpinBox* seFrom = nullptr;
    QSpinBox* seTo = nullptr;
    QSpinBox* seDpi = nullptr;

private:
    QButtonGroup* FKinds = nullptr;
};

// Asks what and where, then writes it; errors become a message.
void RunExportDialog(QWidget* Parent, TQRPrinter& Document, int CurrentPage);
// Writes the chosen export to FileName with a progress window that can
// cancel it. False when cancelled.
bool RunExport(QWidget* Parent, TQRPrinter& Document, const TExportDialog& Choice, int CurrentPage,
               const QString& FileName);
// The page as a picture at screen resolution on the clipboard.
void CopyPageToClipboard(TQRPrinter& Document, int Page);
