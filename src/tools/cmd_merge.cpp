// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool merge DST SRC...: one report of all pages of the sources, in order,
// written over DST.
#include "app/qrselect.h"
#include "platform/errors.h"
#include "tools/command.h"

#include <QStringList>

#include <cstdio>

namespace {

const char* MergeCodeText(int Code)
{
    switch (Code) {
    case -1: return "no destination file given";
    case -2: return "no list of source files";
    case -3: return "no source file given";
    default: return "unknown failure";
    }
}

int Run(const std::vector<std::string>& Args)
{
    if (Args.empty())
        throw UsageError{"expected DST and the source reports"};
    QStringList sources;
    for (size_t i = 1; i < Args.size(); ++i)
        sources.append(QString::fromStdString(Args[i]));
    const int code = MergeReportFiles(QString::fromStdString(Args[0]), &sources);
    if (code != 0)
        throw Exception("result code " + std::to_string(code) + ": " + MergeCodeText(code));
    std::printf("%s: merged %d reports\n", Args[0].c_str(), static_cast<int>(sources.size()));
    return 0;
}

const ToolCommandRegistrar registrar(
    {"merge", "merge DST SRC...", false, Run,
     QT_TRANSLATE_NOOP("qrptool", "DST is replaced by one report of the pages of every SRC, in order (name DST as "
                                  "the first SRC to append to it); prints the result code on failure")});

} // namespace
