// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool create OUT.qrp [--compress] IN.emf...: a new report from EMF files.
#include "platform/errors.h"
#include "store/qrpagelist.h"
#include "tools/command.h"

#include <QtGlobal>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The report printer's default memory limit: small reports never touch the
// temporary folder.
constexpr int32_t MemoryLimit = 250000;

int Run(const std::vector<std::string>& Args)
{
    std::string out;
    bool compress = false;
    std::vector<std::string> inputs;
    for (const std::string& a : Args) {
        if (a == "--compress")
            compress = true;
        else if (!a.empty() && a[0] == '-')
            throw UsageError{"unknown option \"" + a + "\""};
        else if (out.empty())
            out = a;
        else
            inputs.push_back(a);
    }
    if (out.empty() || inputs.empty())
        throw UsageError{"expected an output file and at least one EMF file"};

    TQRPageList list;
    list.SetStream(std::make_unique<TQRStream>(MemoryLimit));
    list.SetCompression(compress);
    for (const std::string& in : inputs) {
        TMetafile page;
        try {
            page.LoadFromFile(in);
        } catch (const Exception& e) {
            throw Exception("\"" + in + "\": " + e.what());
        }
        list.AddPage(page);
    }
    list.Finish();
    list.SaveToFile(out);
    std::printf("%s: %d pages%s\n", out.c_str(), list.PageCount(), compress ? ", compressed" : "");
    return 0;
}

const ToolCommandRegistrar registrar({"create", "create OUT.qrp [--compress] IN.emf...", false, Run,
                                      QT_TRANSLATE_NOOP("qrptool", "a new report from EMF files")});

} // namespace
