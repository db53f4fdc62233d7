// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/printbackend.h"

#include "platform/print/cupsbackend.h"
#include "platform/print/virtualbackend.h"

#include <QByteArray>

#include <memory>

namespace {

TPrintBackend* Override = nullptr;
unsigned Generation = 0;

std::unique_ptr<TPrintBackend> FromEnvironment()
{
    QByteArray name = qgetenv("QRP_PRINT_BACKEND").trimmed().toLower();
    if (name.isEmpty() || name == "cups")
        return std::make_unique<TCupsBackend>();
    if (name == "virtual")
        return std::make_unique<TVirtualBackend>(QString::fromLocal8Bit(qgetenv("QRP_VIRTUAL_PRINTERS")),
                                                 QString::fromLocal8Bit(qgetenv("QRP_VIRTUAL_OUTPUT")));
    throw EPrinter("QRP_PRINT_BACKEND is \"" + name.toStdString() + "\"; use \"cups\" or \"virtual\"");
}

} // namespace

TPrintBackend& ActivePrintBackend()
{
    if (Override)
        return *Override;
    static std::unique_ptr<TPrintBackend> chosen = FromEnvironment();
    return *chosen;
}

void SetActivePrintBackend(TPrintBackend* Backend)
{
    Override = Backend;
    ++Generation;
}

unsigned ActivePrintBackendGeneration()
{
    return Generation;
}
