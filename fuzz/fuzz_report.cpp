// SPDX-License-Identifier: GPL-3.0-or-later
// A report file from the wild: loaded in place and from memory, every page
// fetched forward with its hyperlinks, then backward.
#include "fuzz_support.h"
#include "platform/errors.h"
#include "store/qrreportinfo.h"

#include <cstring>

namespace {

void CheckMessage(const Exception& e)
{
    if (!e.what() || !*e.what())
        FuzzFinding("an error without a message");
}

void FetchEveryPage(TQRPageList& List)
{
    std::unique_ptr<TMetafile> page;
    std::unique_ptr<std::vector<THyperlink>> links;
    for (int32_t n = 1; n <= List.PageCount(); ++n) {
        List.GetPageEx(n, page, links);
        if (!page || page->Empty())
            FuzzFinding("a page in range came back empty");
    }
    for (int32_t n = List.PageCount(); n >= 1; --n)
        if (!List.GetPage(n))
            FuzzFinding("a page in range came back empty");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    try {
        TQRPageList list;
        LoadReportFile(list, FuzzInputFile(Data, Size));
        FetchEveryPage(list);
    } catch (const Exception& e) {
        CheckMessage(e);
    }
    try {
        InspectReportData(std::vector<uint8_t>(Data, Data + Size));
    } catch (const Exception& e) {
        CheckMessage(e);
    }
    return 0;
}
