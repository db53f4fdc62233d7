// qrptool text FILE [--pages A-B]: the text of each page in reading order,
// pages ended by a form feed.
#include "platform/metafile.h"
#include "printer/reporttext.h"
#include "tools/command.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int PageArgument(const std::string& Text)
{
    if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(Text) < 1)
        throw UsageError{"--pages wants page numbers from 1 on, not \"" + Text + "\""};
    return std::stoi(Text);
}

int Run(const std::vector<std::string>& Args)
{
    std::string file;
    int first = 1, last = 0;
    for (size_t i = 0; i < Args.size(); ++i) {
        if (Args[i] == "--pages" && i + 1 < Args.size()) {
            const std::string range = Args[++i];
            const size_t dash = range.find('-');
            first = dash == 0 ? 1 : PageArgument(range.substr(0, dash));
            last = dash == std::string::npos ? first
                                             : dash + 1 == range.size() ? 0 : PageArgument(range.substr(dash + 1));
            if (last && last < first)
                throw UsageError{"--pages " + range + " is an empty range"};
        } else if (Args[i].rfind("--", 0) == 0 || !file.empty()) {
            throw UsageError{"unexpected argument \"" + Args[i] + "\""};
        } else {
            file = Args[i];
        }
    }
    if (file.empty())
        throw UsageError{"expected a report or EMF file"};
    TTextSource source(file);
    if (!last || last > source.PageCount())
        last = source.PageCount();
    for (int p = first; p <= last; ++p) {
        const std::unique_ptr<TMetafile> page = source.Page(p);
        if (!page)
            break;
        const QByteArray text = EmfLinesText(EmfPageLines(*page, false)).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputc('\f', stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Glyph indices are read back through installed faces, which needs Qt's fonts.
const ToolCommandRegistrar registrar({"text", "text REPORT.qrp|PAGE.emf [--pages A-B]", true, Run,
    "the text of each page in reading order, pages ended by a form feed"});

} // namespace
