// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary files, local time: the operating-system services the store needs.
#include <string>

// $TMPDIR when set and non-empty, else /tmp; no trailing slash.
std::string GetTempPath();

// Reserves and creates an empty file "<Dir>/<Prefix><hex>.TMP" that did not
// exist before (O_EXCL). Throws EFCreateError when no name can be reserved.
std::string GetTempFileName(const std::string& Dir, const std::string& Prefix);

// Days since 30 December 1899, the fraction being the local time of day.
double Now();
