// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a report document asks of the report definition that created it.
// The viewer never has one; a report generator implements it.
class TQRPrinterSettings;

class TQRParentReport {
public:
    virtual ~TQRParentReport() = default;
    // The definition's persistent printer choices.
    virtual const TQRPrinterSettings& PrinterSettings() const = 0;
    virtual bool ShowProgress() const { return false; }
    // The definition's page size in 0.1 mm.
    virtual long double PageWidth() const = 0;
    virtual long double PageLength() const = 0;
    virtual void AfterPrint() {}
    virtual void SetUserCancel(bool) {}
    // Pages made while exporting are not kept by an aborted document.
    virtual bool Exporting() const { return false; }
};
