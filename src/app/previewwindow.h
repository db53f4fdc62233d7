#pragma once
// The viewer's preview window: a row of seven buttons over the preview
// control, showing one report document; and the factory that makes every
// preview of a document open this window.
#include "printer/previewinterface.h"

#include <QList>
#include <QWidget>

class QBoxLayout;
class QFrame;
class QMenu;
class QPushButton;
class QTimer;
class TPageBox;
class TThumbnailPanel;
class TQRPreview;
class TQRPrinter;
class TFindBar;
class TPageTextSelection;

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

    void btnPrintClick();
    void btnPrevPageClick();
    void btnNextPageClick();
    void btnZoomInClick();
    void btnZoomOutClick();
    void btnOpenClick();
    void btnCloseClick();
    void QRPreview1PageAvailable(TQRPreview* Sender, int PageNum);
    void UpdateNavButtons();
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
    // Loads FileName into the window's document as "Rapor Ac" does once a
    // file is chosen.
    void OpenFile(const QString& FileName);
    // The right-click menu on the page, one entry a line.
    void FillPageMenu(QMenu& Menu);

protected:
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

    TQRPrinter* FQRPrinter = nullptr;
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
