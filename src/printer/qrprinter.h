// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report document: one finished or growing report held as EMF pages in
// a page list, with the printer it prints on, its paper geometry and the
// link to the control that shows it.
#include "platform/print/printer.h"
#include "printer/printersettings.h"
#include "printer/qrerror.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TCanvas;
class TMemoryStream;
class TMetafile;
class TQRPageList;
class TQRParentReport;
class TQRStream;
class TQRExportFilter;
struct THyperlink;

enum TQRPrinterStatus : uint8_t { mpReady = 0, mpBusy = 1, mpFinished = 2 };
enum TQRPrinterDestination : uint8_t { qrdMetafile = 0, qrdPrinter = 1 };

// Pixels per 0.1 mm of a 96 dpi screen: 96 / 254, kept to five places as
// reports have always been laid out with it. The scale before any device
// is known, and for a printer that reports no usable resolution.
constexpr long double DefaultTenthMMFactor = 0.37795L;

class TQRPrinter {
public:
    using TNotifyEvent = std::function<void(TQRPrinter* Sender)>;
    using TQRAfterPrintEvent = std::function<void(TQRPrinter* Sender)>;
    using TQRAfterPreviewEvent = std::function<void(TQRPrinter* Sender)>;
    using TQRPrintSetupEvent = std::function<void()>;
    using TQRExportToFilterEvent = std::function<void(TQRExportFilter* aFilter)>;

    // parentrep is the report definition making this document, or nullptr.
    explicit TQRPrinter(TQRParentReport* parentrep = nullptr);
    ~TQRPrinter();
    TQRPrinter(const TQRPrinter&) = delete;
    TQRPrinter& operator=(const TQRPrinter&) = delete;

    void Cleanup();
    void Load(const QString& Filename);
    void LoadFromStream(TMemoryStream& inStream);
    // Writes only a finished document; otherwise does nothing.
    void Save(const QString& Filename);

    // A new copy of page Value, or nullptr outside 1..PageCount or before
    // the document has pages.
    std::unique_ptr<TMetafile> GetPage(int Value);
    void GetPageEx(int Value, std::unique_ptr<TMetafile>& AMetafile,
                   std::unique_ptr<std::vector<THyperlink>>& AHyperlinks);

    // Page production.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void AbortDoc();
    void Cancel() { FCancelled = true; }
    void AddHyperlink(const QRect& ARect, const QString& AHyperlink);
    void FreeHyperlinks();
    void AddOutline(int Level, const QString& Caption, const QRect& Target);

    // Printing.
    void Print();
    void PrintMetafileDirect(const QString& filename, int frompage, int topage);
    void PrintSetup();

    void Preview();
    void PreviewModal();
    void ClosePreview(QObject* Control);
    void ExportToFilter(TQRExportFilter* aFilter);

    // Geometry: Value in 0.1 mm, results in pixels.
    int XPos(long double Value) const;
    int YPos(long double Value) const;
    int XSize(long double Value) const;
    int YSize(long double Value) const;
    int PaperWidthValue() const;
    int PaperLengthValue() const;
    int LeftWaste() const;
    int TopWaste() const;

    TQRParentReport* ParentReport() const { return FParentReport; }
    bool ReportLoaded() const { return FReportLoaded; }
    // The file of the last Load; empty after a load from memory. Links
    // without a scheme on its pages are relative to its folder.
    QString FileName() const { return FFileName; }
    // For a report read from a private copy: the file it was copied from.
    void SetFileName(const QString& Value) { FFileName = Value; }
    void SetReportLoaded(bool Value) { FReportLoaded = Value; }
    TQRAfterPreviewEvent AfterPreview() const { return FAfterPreviewEvent; }
    void SetAfterPreview(TQRAfterPreviewEvent Value) { FAfterPreviewEvent = std::move(Value); }
    TQRAfterPrintEvent AfterPrint() const { return FAfterPrintEvent; }
    void SetAfterPrint(TQRAfterPrintEvent Value) { FAfterPrintEvent = std::move(Value); }
    // The window of the last Preview; null once that window is gone.
    QWidget* PreviewControl() const { return FPreviewControl; }
    void SetPreviewControl(QWidget* Value) { FPreviewControl = Value; }
    bool Cancelled() const { return FCancelled; }
    void SetCancelled(bool Value) { FCancelled = Value; }
    // The control that receives QRM_PROGRESS and QRM_PAGES_AVAILABLE.
    QObject* Client() const { return FClient; }
    void SetClient(QObject* Value);
    int FirstPage() const { return FFirstPage; }
    void SetFirstPage(int Value) { FFirstPage = Value; }
    int LastPage() const { return FLastpage; }
    void SetLastPage(int Value) { FLastpage = Value; }
    // Told synchronously with QRM_PREVIEW_CLOSED when a preview closes.
    QObject* Master() const { return FMaster; }
    void SetMaster(QObject* Value) { FMaster = Value; }
    TQRExportToFilterEvent OnExportToFilter() const { return FOnExportToFilterEvent; }
    void SetOnExportToFilter(TQRExportToFilterEvent Value) { FOnExportToFilterEvent = std::move(Value); }
    TNotifyEvent OnPreview() const { return FOnPreviewEvent; }
    void SetOnPreview(TNotifyEvent Value) { FOnPreviewEvent = std::move(Value); }
    TQRPrintSetupEvent OnPrintSetup() const { return FOnPrintSetupEvent; }
    void SetOnPrintSetup(TQRPrintSetupEvent Value) { FOnPrintSetupEvent = std::move(Value); }
    TQRPageList* PageList() const { return FPageList.get(); }
    int PageCount() const { return FPageCount; }
    void SetPageCount(int Value) { FPageCount = Value; }
    int MasterProgressStart() const { return FMasterProgressStart; }
    void SetMasterProgressStart(int Value) { FMasterProgressStart = Value; }
    int MasterProgressEnd() const { return FMasterProgressEnd; }
    void SetMasterProgressEnd(int Value) { FMasterProgressEnd = Value; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    long double XFactor() const { return FXFactor; }
    void SetXFactor(long double Value) { FXFactor = Value; }
    long double YFactor() const { return FYFactor; }
    void SetYFactor(long double Value) { FYFactor = Value; }

    TCanvas* Canvas() const { return FCanvas; }
    TMetafile* Page() const { return FPage.get(); }
    bool PrinterOK() const { return FPrinterOK; }
    TQRPrinterStatus Status() const { return FStatus; }

    int AvailablePages() const { return FAvailablePages; }
    void SetAvailablePages(int Value);
    int Progress() const { return FProgress; }
    void SetProgress(int Value);
    bool ShowingPreview() const { return FShowingPreview; }
    void SetShowingPreview(bool Value);
    int PageNumber() const { return FPageNumber; }
    void SetPageNumber(int Value);
    TQRPrinterDestination Destination() const { return FDestination; }
    void SetDestination(TQRPrinterDestination Value) { FDestination = Value; }

    // Forwarded to the printer settings, which may decline a value.
    int Copies() const { return aPrinterSettings->Copies(); }
    void SetCopies(int Value) { aPrinterSettings->SetCopies(Value); }
    bool Duplex() const { return aPrinterSettings->Duplex(); }
    void SetDuplex(bool Value) { aPrinterSettings->SetDuplex(Value); }
    TPrinterOrientation Orientation() const { return aPrinterSettings->Orientation(); }
    void SetOrientation(TPrinterOrientation Value) { aPrinterSettings->SetOrientation(Value); }
    TQRBin OutputBin() const { return aPrinterSettings->OutputBin(); }
    void SetOutputBin(TQRBin Value) { aPrinterSettings->SetOutputBin(Value); }
    TQRPaperSize PaperSize() const { return aPrinterSettings->PaperSize(); }
    void SetPaperSize(TQRPaperSize Value) { aPrinterSettings->SetPaperSize(Value); }
    int PaperWidth() const { return aPrinterSettings->PaperWidth(); }
    void SetPaperWidth(int Value) { aPrinterSettings->SetPaperWidth(Value); }
    int PaperLength() const { return aPrinterSettings->PaperLength(); }
    void SetPaperLength(int Value) { aPrinterSettings->SetPaperLength(Value); }

    bool PrintMetafile() const { return aPrinterSettings->PrintMetafile(); }
    void SetPrintMetafile(bool Value) { aPrinterSettings->SetPrintMetafile(Value); }
    // The design names this property UseStandardPrinter here and
    // UseStandardprinter on the settings it forwards to.
    bool UseStandardPrinter() const { return aPrinterSettings->UseStandardprinter(); }
    void SetUseStandardPrinter(bool Value) { aPrinterSettings->SetUseStandardprinter(Value); }
    bool UseExtendedDuplex() const { return aPrinterSettings->UseExtendedDuplex(); }
    void SetUseExtendedDuplex(bool Value) { aPrinterSettings->SetUseExtendedDuplex(Value); }
    bool UseCustomBinCode() const { return aPrinterSettings->UseCustomBinCode(); }
    void SetUseCustomBinCode(bool Value) { aPrinterSettings->SetUseCustomBinCode(Value); }
    bool UseCustomPaperCode() const { return aPrinterSettings->UseCustomPaperCode(); }
    void SetUseCustomPaperCode(bool Value) { aPrinterSettings->SetUseCustomPaperCode(Value); }
    int ExtendedDuplex() const { return aPrinterSettings->ExtendedDuplex(); }
    void SetExtendedDuplex(int Value) { aPrinterSettings->SetExtendedDuplex(Value); }
    int CustomBinCode() const { return aPrinterSettings->CustomBinCode(); }
    void SetCustomBinCode(int Value) { aPrinterSettings->SetCustomBinCode(Value); }
    int CustomPaperCode() const { return aPrinterSettings->CustomPaperCode(); }
    void SetCustomPaperCode(int Value) { aPrinterSettings->SetCustomPaperCode(Value); }
    int PrintQuality() const { return aPrinterSettings->PrintQuality(); }
    void SetPrintQuality(int Value) { aPrinterSettings->SetPrintQuality(Value); }
    int Collate() const { return aPrinterSettings->Collate(); }
    void SetCollate(int Value) { aPrinterSettings->SetCollate(Value); }
    int ColorOption() const { return aPrinterSettings->ColorOption(); }
    void SetColorOption(int Value) { aPrinterSettings->SetColorOption(Value); }
    TQRPrinterSettingsEvent OnGetPrinterSettings() const { return aPrinterSettings->OnGetPrinterSettings; }
    void SetOnGetPrinterSettings(TQRPrinterSettingsEvent Value)
    {
        aPrinterSettings->OnGetPrinterSettings = std::move(Value);
    }
    TQRPrinterSettingsEvent OnApplyPrinterSettings() const { return aPrinterSettings->OnApplyPrinterSettings; }
    void SetOnApplyPrinterSettings(TQRPrinterSettingsEvent Value)
    {
        aPrinterSettings->OnApplyPrinterSettings = std::move(Value);
    }

    int PrinterIndex() const;
    void SetPrinterIndex(int Value);
    QStringList Printers() const;
    HDC PrinterHandle() const;
    TPrinter& PrinterObject() const { return *aPrinter; }

    bool Compression() const;
    void SetCompression(bool Value);

    // Device settings of this document.
    std::unique_ptr<TPrinterSettings> aPrinterSettings;
    // Margins in 0.1 mm for PrintMetafileDirect.
    long double DPLeftMargin = 0;
    long double DPTopmargin = 0; // the design's spelling

private:
    void LoadWith(const std::function<void()>& ReadPages, bool NearestSize);
    void DetectFirstPage(bool NearestSize);
    void DropLoadedStream();
    void FinishLoad();
    void StartMetafilePage();
    void StartPrinterPage();
    bool PageInRange() const;
    void ReleaseCanvas();
    void EndPrinterPage();
    void ClosePage();
    void DiscardPage();
    void DropOpenPage();

    TPrinter* aPrinter = nullptr;
    std::unique_ptr<TPrinter> FOwnPrinter; // set when aPrinter is private
    TQRParentReport* FParentReport = nullptr;
    TQRStream* aStream = nullptr; // the page list's stream once loaded or begun
    TQRAfterPrintEvent FAfterPrintEvent;
    TQRAfterPreviewEvent FAfterPreviewEvent;
    int FAvailablePages = 0;
    bool FCancelled = false;
    TCanvas* FCanvas = nullptr;
    TQRPrinterDestination FDestination = qrdMetafile;
    int FFirstPage = 0;
    int FLastpage = 0; // the design's spelling
    int FLeftWaste = 0;
    QPointer<QObject> FClient;
    // Every control that has shown this document, so that all of them, not
    // only the current client, forget it when it goes.
    std::vector<QPointer<QObject>> FAttachedClients;
    QPointer<QObject> FMaster;
    std::unique_ptr<TMetafile> FMetafile;
    // Owns FCanvas on the metafile destination. It writes its page into
    // FMetafile when it goes, so it is declared after it and thus freed first.
    std::unique_ptr<TCanvas> FMetafileCanvas;
    TQRExportToFilterEvent FOnExportToFilterEvent;
    TNotifyEvent FOnPreviewEvent;
    TQRPrintSetupEvent FOnPrintSetupEvent;
    std::unique_ptr<TMetafile> FPage;
    int FPageCount = 0;
    int FPageNumber = 0;
    bool FPrinterOK = false;
    int FProgress = 0;
    int FMasterProgressStart = 0;
    int FMasterProgressEnd = 0;
    QString FTitle;
    QString FFileName;
    int FTopWaste = 0;
    bool FShowingPreview = false;
    TQRPrinterStatus FStatus = mpReady;
    long double FXFactor = DefaultTenthMMFactor;
    long double FYFactor = DefaultTenthMMFactor;
    std::unique_ptr<TQRPageList> FPageList;
    QPointer<QWidget> FPreviewControl;
    bool FReportLoaded = false;
};

// Set true by every Load and LoadFromStream; a report definition clears it.
extern bool SavedReportLoaded;

// Where Print stretches a page of a report definition Width x Length
// (0.1 mm) so that its origin lands on the sheet's corner rather than on the
// printable area's; offsets in 0.1 mm, resolution in dots per inch.
QRect ParentReportPageRect(long double Width, long double Length, int LeftOffset, int TopOffset, int PixelsPerX,
                           int PixelsPerY);
// Percent of the range First..Last done once Page is printed, ties to even.
int PrintProgressValue(int Page, int First, int Last);
