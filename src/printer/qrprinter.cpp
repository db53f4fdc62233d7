// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrprinter.h"

#include "platform/messagepump.h"
#include "platform/rounding.h"
#include "printer/qrmessages.h"
#include "printer/qrparentreport.h"
#include "printer/qrprintersettings.h"
#include "store/qrpagelist.h"

#include <algorithm>
#include <utility>

bool SavedReportLoaded = false;

TQRPrinter::TQRPrinter(TQRParentReport* parentrep)
    : aPrinterSettings(std::make_unique<TPrinterSettings>()), FPageList(std::make_unique<TQRPageList>())
{
    try {
        FPrinterOK = !Printer().Printers().isEmpty();
    } catch (const EPrinter&) {
        // A printer list that cannot be read must not stop a report from being viewed.
        FPrinterOK = false;
    }
    if (parentrep) {
        FParentReport = parentrep;
        aPrinterSettings->SetUseStandardprinter(parentrep->PrinterSettings().UseStandardprinter);
        aPrinterSettings->SetMemoryLimit(parentrep->PrinterSettings().MemoryLimit);
    }
    if (aPrinterSettings->UseStandardprinter()) {
        aPrinter = &Printer();
    } else {
        FOwnPrinter = std::make_unique<TPrinter>();
        aPrinter = FOwnPrinter.get();
        // Selecting the default printer needs one; without any, the document
        // still shows reports and printing says why it cannot.
        if (FPrinterOK) {
            try {
                aPrinter->SetPrinterIndex(aPrinter->PrinterIndex());
            } catch (const EPrinter&) {
                FPrinterOK = false;
            }
        }
    }
    if (FPrinterOK) {
        aPrinterSettings->SetPrinter(aPrinter);
        ProcessPendingMessages();
    }
    FTopWaste = aPrinterSettings->TopOffset();
    FLeftWaste = aPrinterSettings->LeftOffset();
}

TQRPrinter::~TQRPrinter()
{
    DropOpenPage();
    if (FStatus != mpReady)
        Cleanup();
    // The control detaches before the printer goes, since detaching may run
    // the document's after-preview handler.
    QObject* const current = FClient.data();
    if (auto* client = dynamic_cast<TQRPrinterClient*>(current))
        client->DetachQRPrinter(this);
    for (const QPointer<QObject>& attached : FAttachedClients)
        if (auto* client = dynamic_cast<TQRPrinterClient*>(attached.data()); client && attached.data() != current)
            client->DetachQRPrinter(this);
    aPrinterSettings->SetPrinter(nullptr);
}

void TQRPrinter::SetClient(QObject* Value)
{
    FClient = Value;
    if (!Value)
        return;
    FAttachedClients.erase(std::remove_if(FAttachedClients.begin(), FAttachedClients.end(),
                                          [Value](const QPointer<QObject>& p) { return p.isNull() || p == Value; }),
                           FAttachedClients.end());
    FAttachedClients.emplace_back(Value);
}

void TQRPrinter::Cleanup()
{
    if (FStatus == mpBusy)
        Cancel();
    DropOpenPage();
    if (aStream) {
        aStream = nullptr;
        FPageList->SetStream(nullptr);
    }
    FPageList->Clear();
    FStatus = mpReady;
}

int TQRPrinter::XPos(long double Value) const
{
    return RoundHalfEven((Value - FLeftWaste) * FXFactor);
}

int TQRPrinter::YPos(long double Value) const
{
    return RoundHalfEven((Value - FTopWaste) * FYFactor);
}

int TQRPrinter::XSize(long double Value) const
{
    return RoundHalfEven(Value * FXFactor);
}

int TQRPrinter::YSize(long double Value) const
{
    return RoundHalfEven(Value * FYFactor);
}

namespace {

// The sheet upright in 0.1 mm: the table's size, or the printer's sheet for
// Default and Custom.
std::pair<int, int> UprightSheet(const TQRPrinter& Doc)
{
    const TQRPaperSize size = Doc.PaperSize();
    if (size == TQRPaperSize::Default || size == TQRPaperSize::Custom)
        return {Doc.PaperWidth(), Doc.PaperLength()};
    const TPaperDimension& row = PaperDimensions[static_cast<int>(size)];
    return {PaperTenthsMM(row.Width), PaperTenthsMM(row.Height)};
}

} // namespace

int TQRPrinter::PaperWidthValue() const
{
    const std::pair<int, int> sheet = UprightSheet(*this);
    return Orientation() == poLandscape ? sheet.second : sheet.first;
}

int TQRPrinter::PaperLengthValue() const
{
    const std::pair<int, int> sheet = UprightSheet(*this);
    return Orientation() == poLandscape ? sheet.first : sheet.second;
}

int TQRPrinter::LeftWaste() const
{
    return FDestination == qrdPrinter ? aPrinterSettings->LeftOffset() : 0;
}

int TQRPrinter::TopWaste() const
{
    return FDestination == qrdPrinter ? aPrinterSettings->TopOffset() : 0;
}

void TQRPrinter::SetAvailablePages(int Value)
{
    FAvailablePages = Value;
    PostQRMessage(FClient, QRM_PAGES_AVAILABLE, Value, 0);
}

void TQRPrinter::SetProgress(int Value)
{
    FProgress = Value;
    PostQRMessage(FClient, QRM_PROGRESS, Value, 0);
}

void TQRPrinter::SetShowingPreview(bool Value)
{
    if (FShowingPreview && !Value) {
        if (FStatus == mpBusy)
            Cancel();
        try {
            if (FAfterPreviewEvent)
                FAfterPreviewEvent(this);
        } catch (...) {
            FShowingPreview = Value;
            throw;
        }
    }
    FShowingPreview = Value;
}

void TQRPrinter::SetPageNumber(int Value)
{
    if (Value >= 1 && Value <= FPageCount)
        FPageNumber = Value;
}

void TQRPrinter::ClosePreview(QObject*)
{
    SetShowingPreview(false);
    if (FMaster)
        SendQRMessage(FMaster, QRM_PREVIEW_CLOSED, 0, reinterpret_cast<qintptr>(this));
}

void TQRPrinter::ExportToFilter(TQRExportFilter* aFilter)
{
    if (FOnExportToFilterEvent)
        FOnExportToFilterEvent(aFilter);
}

int TQRPrinter::PrinterIndex() const
{
    return aPrinter->PrinterIndex();
}

void TQRPrinter::SetPrinterIndex(int Value)
{
    aPrinter->Refresh();
    if (!FPrinterOK || UseStandardPrinter() || Value == -1 || Value == aPrinter->PrinterIndex())
        return;
    aPrinter->SetPrinterIndex(Value);
    TPrinterSettings::ResetPrinterDeviceMode(*aPrinter);
    // Settings cut loose by an earlier failed read attach again.
    if (aPrinterSettings->Printer())
        aPrinterSettings->ReadPrinterSettings();
    else
        aPrinterSettings->SetPrinter(aPrinter);
}

QStringList TQRPrinter::Printers() const
{
    return aPrinter->Printers();
}

HDC TQRPrinter::PrinterHandle() const
{
    return aPrinter->Handle();
}

bool TQRPrinter::Compression() const
{
    return FPageList->Compression();
}

void TQRPrinter::SetCompression(bool Value)
{
    FPageList->SetCompression(Value);
}
