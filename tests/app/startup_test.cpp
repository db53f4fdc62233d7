// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <gtest/gtest.h>

TEST(StartupArguments, ChoosesTheReportName)
{
    const struct {
        QStringList Args;
        std::optional<QString> Name;
    } cases[] = {
        {{}, std::nullopt},
        {{"report.qrp"}, "report.qrp"},
        {{"/e", "report.qrp"}, "report.qrp"},
        {{" /e ", "report.qrp"}, "report.qrp"},   // one quoted argument with blanks
        {{"\t/e\n", "report.qrp"}, "report.qrp"}, // control characters trimmed too
        {{"/E", "report.qrp"}, "/E"},             // case matters
        {{"/e"}, ""},                             // the load then fails
        {{"/ex", "report.qrp"}, "/ex"},
        {{"  my report.qrp "}, "  my report.qrp "}, // used exactly as given
        {{"/e", " with blanks.qrp "}, " with blanks.qrp "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportNameFromArguments(c.Args), c.Name) << c.Args.join('|').toStdString();
}

TEST(StartupArguments, TrimsBlanksAndControlCharactersOnly)
{
    EXPECT_EQ(TrimControls(QString::fromUtf8("\x01 a b \x1f")), "a b");
    EXPECT_EQ(TrimControls(" \t\r\n"), "");
    EXPECT_EQ(TrimControls(QString::fromUtf8("\xC2\xA0x\xC2\xA0")), QString::fromUtf8("\xC2\xA0x\xC2\xA0"));
}

namespace {

struct TStartupLog {
    QStringList Opened;
    int Asked = 0;
    std::optional<QString> Answer;

    TStartupActions Actions()
    {
        return {[this](const QString& Name) { Opened << Name; },
                [this] {
                    ++Asked;
                    return Answer;
                }};
    }
};

} // namespace

TEST(StartupSequence, CommandLineReportOpensWithoutTheDialog)
{
    TStartupLog log;
    RunStartup({"/e", " a.qrp"}, log.Actions());
    EXPECT_EQ(log.Opened, QStringList{" a.qrp"});
    EXPECT_EQ(log.Asked, 0);
}

TEST(StartupSequence, WithoutArgumentsTheDialogChooses)
{
    TStartupLog cancelled;
    RunStartup({}, cancelled.Actions());
    EXPECT_EQ(cancelled.Asked, 1);
    EXPECT_TRUE(cancelled.Opened.isEmpty());

    TStartupLog blank;
    blank.Answer = " \t";
    RunStartup({}, blank.Actions());
    EXPECT_TRUE(blank.Opened.isEmpty());

    TStartupLog chosen;
    chosen.Answer = " b.qrp ";
    RunStartup({}, chosen.Actions());
    EXPECT_EQ(chosen.Opened, QStringList{" b.qrp "});
}
