// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rounding.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(Rounding, HalvesGoToEvenAndWildValuesSaturate)
{
    const struct {
        long double In;
        int Out;
    } cases[] = {{0.5L, 0},        {1.5L, 2},         {2.5L, 2},       {-0.5L, 0},          {-1.5L, -2},
                 {-2.6L, -3},      {42.33L, 42},      {310.896L, 311}, {402.336L, 402},     {2158.9999L, 2159},
                 {1e30L, INT_MAX}, {-1e30L, INT_MIN}, {NAN, 0},        {INFINITY, INT_MAX}, {-INFINITY, INT_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.In), c.Out) << static_cast<double>(c.In);
}
