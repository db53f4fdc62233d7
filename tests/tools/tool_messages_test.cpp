// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool speaks the user's language: under a Turkish locale its help, its
// usage errors and its errors are Turkish and name the file; under C they
// stand as written.
#include "tool_helpers.h"

#include <string>

namespace {

using ToolMessages = ToolTest;

const std::string Turkish = "LANGUAGE= LC_MESSAGES= LC_ALL=tr_TR.UTF-8";
const std::string Plain = "LANGUAGE= LC_MESSAGES= LC_ALL=C";

TEST_F(ToolMessages, HelpAndUsageFollowTheLocale)
{
    ToolResult r = Run("--help", Turkish);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("Kullanım: qrptool KOMUT [ARGÜMANLAR]\n", 0), 0u) << r.Out;
    // Every command's summary, whichever helper has the command.
    EXPECT_NE(r.Out.find("  info FILE [--json]\n      başlık boyutu, sayfa sayısı"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("      sayfaları PNG ya da SVG"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("\nBaşarıda çıkış durumu 0"), std::string::npos);

    r = Run("--help", Plain);
    ASSERT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out.rfind("Usage: qrptool COMMAND [ARGS]\nShows, converts", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("  info FILE [--json]\n      header size, page count"), std::string::npos);

    r = Run("frobnicate", Turkish);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("qrptool: bilinmeyen komut “frobnicate”\nkullanım: qrptool KOMUT", 0), 0u) << r.Err;
    r = Run("frobnicate", Plain);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("qrptool: unknown command \"frobnicate\"\nusage: qrptool COMMAND", 0), 0u) << r.Err;

    r = Run("info --pages", Turkish);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "qrptool info: beklenmeyen argüman “--pages”\nkullanım: qrptool info FILE [--json]\n");
    r = Run("info --pages", Plain);
    EXPECT_EQ(r.Err, "qrptool info: unexpected argument \"--pages\"\nusage: qrptool info FILE [--json]\n");
}

TEST_F(ToolMessages, ErrorsAreTurkishAndNameTheFile)
{
    const std::string damaged = Dir + "/kırık.qrp";
    Spit(damaged, "QRP but not a report at all");
    ToolResult r = Run("info " + damaged, Turkish);
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(damaged), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("report"), std::string::npos) << r.Err;

    // SQLite's own words stay, after a sentence of ours naming the index.
    const std::string notAnIndex = Dir + "/dizin.db";
    Spit(notAnIndex, std::string(4096, 'x'));
    r = Run("index query --db " + notAnIndex + " fatura", Turkish);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err.rfind("qrptool index query: “" + notAnIndex + "” arşiv dizini olarak kullanılamıyor: ", 0), 0u)
        << r.Err;
    r = Run("index query --db " + notAnIndex + " fatura", Plain);
    EXPECT_EQ(r.Err.rfind("qrptool index query: cannot use \"" + notAnIndex + "\" as the archive index: ", 0), 0u)
        << r.Err;
}

} // namespace
