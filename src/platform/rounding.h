// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one rounding of lengths and scales to whole pixels or tenths of a
// millimetre.

// Nearest integer, halves to even, of an extended-precision value. Values
// beyond int saturate and NaN gives 0: device answers, page sizes and zooms
// come from outside and must never reach an undefined conversion.
int RoundHalfEven(long double Value);
