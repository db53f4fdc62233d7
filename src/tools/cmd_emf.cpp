// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool emf FILE N OUT.emf: one page of a report as a bare EMF file.
#include "platform/errors.h"
#include "store/qrreportinfo.h"
#include "tools/command.h"

#include <QtGlobal>

#include <string>
#include <vector>

namespace {

int32_t PageNumberArgument(const std::string& Text)
{
    if (Text.empty() || Text.size() > 10 || Text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"\"" + Text + "\" is not a page number"};
    const long long n = std::stoll(Text);
    if (n < 1 || n > INT32_MAX)
        throw UsageError{"\"" + Text + "\" is not a page number"};
    return static_cast<int32_t>(n);
}

int Run(const std::vector<std::string>& Args)
{
    if (Args.size() != 3)
        throw UsageError{"expected a report file, a page number and an output file"};
    const int32_t number = PageNumberArgument(Args[1]);
    TQRPageList list;
    LoadReportFile(list, Args[0]);
    const std::unique_ptr<TMetafile> page = list.GetPage(number);
    if (!page)
        throw Exception("page " + Args[1] + " does not exist: \"" + Args[0] + "\" has " +
                        std::to_string(list.PageCount()) + " pages");
    page->SaveToFile(Args[2]);
    return 0;
}

const ToolCommandRegistrar registrar({"emf", "emf FILE N OUT.emf", false, Run,
                                      QT_TRANSLATE_NOOP("qrptool",
                                                        "page N as a bare EMF, byte-identical to what was stored")});

} // namespace
