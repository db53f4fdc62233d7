// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool extract SRC DST FIRST LAST: the pages FIRST..LAST of a report
// (FIRST 0: all) as a new report.
#include "app/qrselect.h"
#include "platform/errors.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"
#include "tools/command.h"

#include <QString>

#include <cstdio>

namespace {

int PageArgument(const std::string& Text, const char* Name)
{
    bool ok = false;
    const int value = QString::fromStdString(Text).toInt(&ok);
    if (!ok || value < 0)
        throw UsageError{std::string(Name) + " must be a page number, not \"" + Text + "\""};
    return value;
}

int Run(const std::vector<std::string>& Args)
{
    if (Args.size() != 4)
        throw UsageError{"expected SRC DST FIRST LAST"};
    const int first = PageArgument(Args[2], "FIRST");
    const int last = PageArgument(Args[3], "LAST");
    TQRPageList source;
    LoadReportFile(source, Args[0]);
    const int count = PagesInRange(source.PageCount(), first, last);
    // An empty report cannot be opened again, so none is written.
    if (count == 0)
        throw Exception("pages " + Args[2] + "-" + Args[3] + " hold no page of \"" + Args[0] + "\" (" +
                        std::to_string(source.PageCount()) + " pages); nothing written");
    ExtractPageRange(QString::fromStdString(Args[0]), QString::fromStdString(Args[1]), first, last);
    std::printf("%s: %d pages\n", Args[1].c_str(), count);
    return 0;
}

const ToolCommandRegistrar registrar(
    {"extract", "extract SRC DST FIRST LAST", false, Run,
     QT_TRANSLATE_NOOP("qrptool", "pages FIRST to LAST of SRC as a new report DST (FIRST 0: all pages)")});

} // namespace
