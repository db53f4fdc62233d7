// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool info FILE [--json]: the header and every page of a report.
#include "printer/paperprobe.h"
#include "store/qrreportinfo.h"
#include "tools/command.h"

#include <QtGlobal>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct InfoField {
    std::string Key;   // JSON name
    std::string Label; // text name
    std::string Value;
    bool IsString = false; // quoted in JSON
};

std::string DateTimeText(double Days)
{
    if (!(Days > -693593.0 && Days < 2958466.0)) // years 1..9999
        return std::to_string(Days);
    const double whole = std::floor(Days);
    long long secs = std::llround((Days - whole) * 86400.0);
    long long days = static_cast<long long>(whole) - 25569; // from 1970-01-01
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    // Civil date from a day count (Hinnant's algorithm).
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d, secs / 3600, secs / 60 % 60,
                  secs % 60);
    return text;
}

std::string Millimetres(int Hundredths)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", Hundredths / 100.0);
    return text;
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The paper and orientation the viewer derives from the first page, from
// the header already read rather than by loading the report again.
void AddDetectedPaper(std::vector<InfoField>& f, const TQRReportInfo& Info)
{
    std::string paper, orientation;
    if (!Info.Pages.empty()) {
        const TPaperDetection d = DetectFirstPagePaper(Info.Pages[0].Width, Info.Pages[0].Height);
        paper = PaperSizeName(d.PaperSize);
        orientation = d.Orientation == poLandscape ? "landscape" : "portrait";
    }
    f.push_back({"paperSize", "Paper size", paper, true});
    f.push_back({"orientation", "Orientation", orientation, true});
}

// Every report-level line of the output, in order; new facts about a report
// are added here and appear in both formats.
std::vector<InfoField> ReportFields(const std::string& FileName, const TQRReportInfo& Info)
{
    std::vector<InfoField> f;
    f.push_back({"file", "File", FileName, true});
    f.push_back({"headerSize", "Header size", std::to_string(Info.HeaderSize), false});
    f.push_back({"pageCount", "Page count", std::to_string(Info.PageCount), false});
    f.push_back({"pageCountFrom", "Page count from", Info.PageCountInHeader ? "header" : "records", true});
    f.push_back({"compressed", "Compressed", Info.Compression ? "true" : "false", false});
    f.push_back({"created", "Created", Info.CreationTime != 0 ? DateTimeText(Info.CreationTime) : "", true});
    if (Info.TrailingBytes > 0)
        f.push_back({"trailingBytes", "Trailing bytes",
                     std::to_string(Info.TrailingBytes) + " bytes after the last page record (ignored)", true});
    AddDetectedPaper(f, Info);
    return f;
}

std::vector<InfoField> PageFields(const TQRPageInfo& Page)
{
    return {{"page", "Page", std::to_string(Page.Number), false},
            {"emfBytes", "EMF bytes", std::to_string(Page.EmfBytes), false},
            {"widthPx", "Width px", std::to_string(Page.Width), false},
            {"heightPx", "Height px", std::to_string(Page.Height), false},
            {"widthMm", "Width mm", Millimetres(Page.MMWidth), false},
            {"heightMm", "Height mm", Millimetres(Page.MMHeight), false}};
}

std::string JsonObject(const std::vector<InfoField>& Fields, const std::string& Extra)
{
    std::string out = "{";
    for (const InfoField& f : Fields)
        out += (out.size() > 1 ? ", " : "") + JsonString(f.Key) + ": " + (f.IsString ? JsonString(f.Value) : f.Value);
    return out + Extra + "}";
}

void Print(const std::string& FileName, const TQRReportInfo& Info, bool Json)
{
    const std::vector<InfoField> report = ReportFields(FileName, Info);
    if (Json) {
        std::string pages = ", \"pages\": [";
        for (size_t i = 0; i < Info.Pages.size(); ++i)
            pages += (i ? ", " : "") + JsonObject(PageFields(Info.Pages[i]), "");
        std::printf("%s\n", JsonObject(report, pages + "]").c_str());
        return;
    }
    for (const InfoField& f : report)
        std::printf("%s: %s\n", f.Label.c_str(), f.Value.c_str());
    for (const TQRPageInfo& p : Info.Pages)
        std::printf("Page %d: %d bytes, %d x %d px, %s x %s mm\n", p.Number, p.EmfBytes, p.Width, p.Height,
                    Millimetres(p.MMWidth).c_str(), Millimetres(p.MMHeight).c_str());
}

int Run(const std::vector<std::string>& Args)
{
    std::string file;
    bool json = false;
    for (const std::string& a : Args) {
        if (a == "--json")
            json = true;
        else if (file.empty() && !a.empty() && a[0] != '-')
            file = a;
        else
            throw UsageError{"unexpected argument \"" + a + "\""};
    }
    if (file.empty())
        throw UsageError{"no report file given"};
    Print(file, InspectReportFile(file), json);
    return 0;
}

const ToolCommandRegistrar registrar(
    {"info", "info FILE [--json]", false, Run,
     QT_TRANSLATE_NOOP("qrptool", "header size, page count, compression, creation time, detected paper, and per "
                                  "page its EMF size in bytes, pixels and millimetres")});

} // namespace
