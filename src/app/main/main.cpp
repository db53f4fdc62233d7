// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/viewerapplication.h"
#include "platform/runtimedir.h"
#include "platform/version.h"

#include <cstdio>
#include <cstring>

namespace {

// Answered before any window exists, so that they work without a display;
// the man page is made from this text.
const char HelpText[] = "Usage: qrpview [REPORT.qrp]\n"
                        "  or:  qrpview /e REPORT.qrp\n"
                        "Shows and prints saved report files (.QRP), each page an enhanced metafile.\n"
                        "\n"
                        "With a report file, opens it in the preview window; without one, asks for\n"
                        "a report in an open dialog. A missing, unreadable or damaged file is\n"
                        "reported in a message box and the program stays up.\n"
                        "\n"
                        "Keys in the preview window:\n"
                        "  Page Up, Page Down, Home, End\n"
                        "      previous, next, first and last page\n"
                        "  Ctrl+plus, Ctrl+minus, Ctrl+wheel\n"
                        "      zoom (the wheel zooms around the pointer)\n"
                        "\n"
                        "At every start the viewer registers itself for *.qrp under $XDG_DATA_HOME\n"
                        "(default ~/.local/share): mime/packages/qrpfile.xml,\n"
                        "applications/qrpview.desktop and icons/hicolor/scalable/apps/qrpview.svg.\n"
                        "It does not make itself the default handler.\n"
                        "\n"
                        "qrpview is free software under the GNU General Public License, version 3 or\n"
                        "later; run \"qrpview --version\" for the notice.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::printf("qrpview %s\n%s", QrpVersion, QrpLicenceNotice);
        return 0;
    }
    TPrivateRuntimeDir runtimeDir;
    TViewerApplication app(argc, argv);
    // Qt has looked into it: a viewer killed later leaves no folder behind.
    runtimeDir.Vacate();
    return RunViewer(QApplication::arguments().mid(1));
}
