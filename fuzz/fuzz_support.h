// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: the input as a file the loaders can open by
// name, and quiet output.
#include <cstddef>
#include <cstdint>
#include <string>

// A path naming exactly Data. The file lives in memory and is reused for
// every input, so a run of hours neither wears the disk nor leaves files
// behind.
std::string FuzzInputFile(const uint8_t* Data, size_t Size);

// Sends stdout to /dev/null; libFuzzer reports on stderr.
void SilenceStdout();

// Ends the run as a finding: an error without a message is as bad as a crash.
[[noreturn]] void FuzzFinding(const char* What);
