// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/errors.h"

#include <string>

// A report file whose structure contradicts itself. The text names the file
// and what is wrong with it.
class EQRDamagedReport : public Exception {
public:
    EQRDamagedReport(const std::string& FileName, const std::string& What)
        : Exception("Damaged report file \"" + FileName + "\": " + What), FFileName(FileName), FWhat(What)
    {
    }
    const std::string& FileName() const { return FFileName; }
    const std::string& What() const { return FWhat; }

private:
    std::string FFileName;
    std::string FWhat;
};
