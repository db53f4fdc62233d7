// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version and licence notice. The version is the build's
// project version (top-level CMakeLists.txt), the one place it is kept.

extern const char QrpVersion[];
// The lines that follow "PROGRAM VERSION" in --version, GNU style.
extern const char QrpLicenceNotice[];
