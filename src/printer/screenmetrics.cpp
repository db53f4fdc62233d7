// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/screenmetrics.h"

namespace {
int GPixelsPerInch = 96;
}

int ScreenPixelsPerInch()
{
    return GPixelsPerInch;
}

void SetScreenPixelsPerInch(int Value)
{
    GPixelsPerInch = Value > 0 ? Value : 96;
}
