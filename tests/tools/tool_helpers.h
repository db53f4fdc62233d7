// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs qrptool as a user would, in a private folder with its own TMPDIR.
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

std::string Slurp(const std::string& Name);
void Spit(const std::string& Name, const std::string& Content);

struct ToolResult {
    int Status = -1;
    std::string Out, Err;
    double Seconds = 0;
};

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    static std::vector<std::string> Files(const std::string& D);
    // Env: assignments or an `env ...` prefix for the command.
    ToolResult Run(const std::string& Args, const std::string& Env = "");

    const std::string Tool = QRP_BINARY_DIR "/src/tools/qrptool";
    const std::string Data = QRP_TEST_DATA;
    TPrivateTempFolder Temp;
    std::string Dir, Tmp; // the test's files; the tool's TMPDIR
};
