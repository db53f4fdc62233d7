// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen's logical density in dots per inch: what a report page's
// pixels are measured against on screen. Fixed rather than asked of the
// display so that a report lays out the same everywhere.
int ScreenPixelsPerInch();
// For tests; values below 1 go back to 96.
void SetScreenPixelsPerInch(int Value);
