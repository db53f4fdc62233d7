// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's preview window: a row of seven buttons over the preview
// control, showing one report document; and the factory that makes every
// preview of a document open this window. A window opened for a file owns
// its document, so no other window ever changes the pages it shows.
#include "printer/previewinterface.h"

#include <QList>
#include <QWidget>

#include <memory>

class QAction;
class QBoxLayout;
class QFileSystemWatcher;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class TPageBox;
class TThumbnailPanel;
class TQRPreview;
class TQRPrinter;
class TFindBar;
class TPageTextSelection;
class TReportSnapshot;

class TfrmZozEdezaPreview : public QWidget {
    Q_OBJECT
public:
    // Attaches aQRPrinter (may be null) and shows its page 1; the window
    // frees itself when closed.
    TfrmZozEdezaPreview(QWidget* AOwner, TQRPrinter* aQRPrinter);
    ~TfrmZozEdezaPreview() override;

    TQRPrinter* QRPrinter() const { return FQRPrinter; }
    void SetQRPrinter(TQRPrinter* Value) { FQRPrinter = Value; }
    // Every preview window now open, oldest first.
    static QList<TfrmZozEdezaPreview*> OpenWindows();
    // Steps aside from another preview standing exactly where this one is.
    void Cascade();
    // From now on the window owns Document, which it already shows, and the
    // snapshot of the file it was read from.
    void AdoptQRPrinter(std::unique_ptr<TQRPrinter> Document, std::unique_ptr<TReportSnapshot> Snapshot);
    // The user's file shown; empty when the window was handed a document
    // without one.
    QString ReportFile() const;
    // FileName is the file shown (the same file, or the same path).
    bool ShowsFile(const QString& FileName) const;
    // In front, active, with the keyboard focus on the page.
    void ShowInFront();
    // The main window's commands (a submenu by its menu action): keys of
    // this window and entries of the page menu, so that a maximised preview
    // needs nothing behind it.
    void SetMainCommands(const QList<QAction*>& Commands);
    // Shows the note with the reload offer when the file on disk is no
    // longer the one shown.
    void CheckFileOnDisk();
    // Reads the file shown again, staying on the page shown if it is there.
    void Reload();

    QFrame* Panel1 = nullptr;
    TQRPreview* QRPreview1 = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnNextPage = nullptr;
    QPushButton* btnPrevPage = nullptr;
    QPushButton* btnZoomIn = nullptr;
    QPushButton* btnZoomOut = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnOpen = nullptr;
    TFindBar* FindBar = nullptr;
    TPageTextSelection* TextSelection = nullptr;
    // Beside the design's buttons, right of "Cikis".
    TPageBox* PageBox = nullptr;
    // Page thumbnails left of the page, hidden until F4.
    TThumbnailPanel* Thumbnails = nullptr;
    // Under the buttons once the file changed on disk; made then.
    QFrame* ChangedBar = nullptr;
    QLabel* ChangedNote = nullptr;

    void btnPrintClick();
    void btnPrevPageClick();
    void btnNextPageClick();
    void btnZoomInClick();
    void btnZoomOutClick();
    // The keys' zoom keeps the middle of the view; the buttons' keeps the
    // design's return to the page's corner.
    void ZoomInAroundCentre();
    void ZoomOutAroundCentre();
    void FocusPageBox();
    void btnOpenClick();
    void btnCloseClick();
    void QRPreview1PageAvailable(TQRPreview* Sender, int PageNum);
    void UpdateButtons();
    void InitFirstPage();
    void FirstPage();
    void LastPage();
    void GotoPage(int Page);
    void ActualSize();
    void FitPage();
    void FitWidth();
    void ExportReport();
    void CopyPageImage();
    void ToggleThumbnails();
    // Shows FileName in this window as "Rapor Ac" does once a file is
    // chosen. The file is read into a new document first: one that cannot
    // be read leaves the report shown as it was.
    void OpenFile(const QString& FileName);
    // The right-click menu on the page, one entry a line.
    void FillPageMenu(QMenu& Menu);

protected:
    bool event(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    void FormShow();
    void FormClose();
    void BuildLayout();
    void BindKeys();
    void AddTextTools(QBoxLayout* Layout);
    void ShowPageMenu(const QPoint& GlobalPos);
    void GeometryChanged();
    void ShowDocument(std::unique_ptr<TQRPrinter> Document, std::unique_ptr<TReportSnapshot> Snapshot);
    void UpdateCaption();
    void WatchFile();

    TQRPrinter* FQRPrinter = nullptr;
    // Set when the window opened the report itself; FQRPrinter then points
    // here. Declared before the children go (they are freed by QWidget's
    // destructor, after this member), so the destructor detaches them first.
    std::unique_ptr<TQRPrinter> FOwnDocument;
    std::unique_ptr<TReportSnapshot> FSnapshot;
    QFileSystemWatcher* FWatcher = nullptr;
    QList<QAction*> FMainCommands;
    bool bPleaseInit = false;
    bool FShown = false;
    // Saves the geometry once the user has stopped moving or resizing.
    QTimer* FGeometrySaver = nullptr;
    // The panel reads the document when it is next shown.
    bool FThumbnailsStale = true;
};

class TQRQRPPreviewInterface : public TQRPreviewInterface {
public:
    QWidget* Show(TQRPrinter* AQRPrinter) override;
    QWidget* ShowModal(TQRPrinter* AQRPrinter) override;
};
