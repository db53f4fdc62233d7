// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool demo: writes the demo sales listing as a report file.
#include "tools/command.h"

#include "printer/demoreport.h"
#include "printer/qrprinter.h"

#include <QString>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

int ParsePages(const std::string& Text)
{
    size_t used = 0;
    long value = 0;
    try {
        value = std::stol(Text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != Text.size() || value < 1 || value > DemoMaxPages)
        throw UsageError{"--pages wants a whole number from 1 to " + std::to_string(DemoMaxPages) + ", not \"" + Text +
                         "\""};
    return static_cast<int>(value);
}

int RunDemo(const std::vector<std::string>& Args)
{
    TDemoReportOptions options;
    std::string out;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        const bool hasValue = i + 1 < Args.size();
        if (a == "--pages" && hasValue) {
            options.Pages = ParsePages(Args[++i]);
        } else if (a == "--paper" && hasValue) {
            const std::string& name = Args[++i];
            const std::optional<TQRPaperSize> paper = DemoPaperFromName(QString::fromStdString(name));
            if (!paper)
                throw UsageError{"unknown paper \"" + name + "\" (A4, A3, A5, Letter, Legal, ...)"};
            options.Paper = *paper;
        } else if (a == "--compress") {
            options.Compress = true;
        } else if (a == "--landscape") {
            options.Orientation = poLandscape;
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError{"unknown or incomplete option \"" + a + "\""};
        } else if (out.empty()) {
            out = a;
        } else {
            throw UsageError{"only one output file, please"};
        }
    }
    if (out.empty())
        throw UsageError{"no output file given"};

    TQRPrinter report;
    ProduceDemoReport(report, options);
    // Save replaces the file only once the whole report is written.
    report.Save(QString::fromStdString(out));
    std::printf("%s: %d pages\n", out.c_str(), report.PageCount());
    return 0;
}

const ToolCommandRegistrar Demo({"demo", "demo OUT.qrp [--pages N] [--compress] [--landscape] [--paper A4|Letter|...]",
                                 true, RunDemo,
                                 QT_TRANSLATE_NOOP("qrptool", "a sample sales report of N pages (default 5)")});

} // namespace
