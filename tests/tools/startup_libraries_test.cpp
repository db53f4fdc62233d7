// SPDX-License-Identifier: GPL-3.0-or-later
// Which libraries qrptool's commands have loaded when they finish: a script
// that asks for a report's page count must not pay for the GUI.
#include "tool_helpers.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using StartupLibraries = ToolTest;

const std::vector<std::string> PrintingLibraries = {"libQt6Widgets", "libQt6PrintSupport", "libQt6Svg"};

TEST_F(StartupLibraries, CommandsLoadOnlyTheQtLibrariesTheyNeed)
{
    const std::string report = Data + "/reports/layout-96-z.qrp";
    std::vector<std::string> noGui = PrintingLibraries;
    noGui.insert(noGui.end(), {"libQt6Gui", "libGLX", "libEGL", "libOpenGL"});
    const struct {
        std::string Args;
        std::vector<std::string> Absent;
    } cases[] = {
        {"info " + report, noGui},
        {"emf " + report + " 1 " + Dir + "/p1.emf", noGui},
        {"extract " + report + " " + Dir + "/one.qrp 1 1", noGui},
        {"merge " + Dir + "/two.qrp " + report + " " + report, noGui},
        {"create " + Dir + "/new.qrp " + Dir + "/p1.emf", noGui},
        {"text " + report, PrintingLibraries},
        {"search Sayfa " + report, PrintingLibraries},
        // Qt's image writer loads every image format plugin, the SVG one
        // with QtSvg among them.
        {"thumbnail " + report + " " + Dir + "/t.png", {"libQt6Widgets", "libQt6PrintSupport"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        const std::string maps = Dir + "/maps";
        std::remove(maps.c_str());
        const ToolResult r = Run(c.Args, "QRPTOOL_MAPS_TO=" + maps);
        // search exits 1 when nothing matches; either way it ran.
        ASSERT_LE(r.Status, 1) << r.Err;
        const std::string loaded = Slurp(maps);
        EXPECT_NE(loaded.find("libQt6Core"), std::string::npos) << "no maps written";
        for (const std::string& lib : c.Absent)
            EXPECT_EQ(loaded.find(lib), std::string::npos) << lib << " is loaded";
    }
}

TEST_F(StartupLibraries, PrintingCommandsStillGetTheirLibrariesAndTheHelpListsThem)
{
    const std::string maps = Dir + "/maps";
    const ToolResult r = Run("printers", "QRPTOOL_MAPS_TO=" + maps);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(Slurp(maps).find("libQt6PrintSupport"), std::string::npos);
    const ToolResult help = Run("--help");
    ASSERT_EQ(help.Status, 0);
    for (const char* usage : {"  info FILE", "  print FILE", "  render FILE", "  text REPORT.qrp", "  index update"})
        EXPECT_NE(help.Out.find(usage), std::string::npos) << usage;
}

} // namespace
