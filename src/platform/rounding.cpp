// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rounding.h"

#include <cmath>
#include <limits>

int RoundHalfEven(long double Value)
{
    if (std::isnan(Value))
        return 0;
    if (Value >= static_cast<long double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (Value <= static_cast<long double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    long double whole = std::floor(Value);
    const long double fraction = Value - whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0))
        whole += 1;
    return static_cast<int>(whole);
}
