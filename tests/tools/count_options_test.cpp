// SPDX-License-Identifier: GPL-3.0-or-later
// The counts qrptool's commands take (--jobs, --limit): plain digits within
// the range, or a usage error that names the range and the argument.
#include "tool_helpers.h"

TEST_F(ToolTest, CountOptionsRefuseWhatIsNotAWholeNumberInRange)
{
    const struct {
        const char* Args;
        const char* Message;
    } refused[] = {
        {"search x . --jobs 0", "--jobs wants a number from 1 to 999, not \"0\""},
        {"search x . --jobs 1000", "--jobs wants a number from 1 to 999, not \"1000\""},
        {"search x . --jobs 0001", "--jobs wants a number from 1 to 999, not \"0001\""},
        {"search x . --jobs 2x", "--jobs wants a number from 1 to 999, not \"2x\""},
        {"search x . --jobs -3", "--jobs wants a number from 1 to 999, not \"-3\""},
        {"index update --db a.db . --jobs ''", "--jobs wants a number from 1 to 999, not \"\""},
        {"index query --db a.db x --limit 1000000", "--limit wants a number from 1 to 999999, not \"1000000\""},
        {"index query --db a.db x --limit +5", "--limit wants a number from 1 to 999999, not \"+5\""},
    };
    for (const auto& c : refused) {
        const ToolResult r = Run(c.Args);
        EXPECT_EQ(r.Status, 2) << c.Args;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << c.Args << "\n" << r.Err;
    }
}
