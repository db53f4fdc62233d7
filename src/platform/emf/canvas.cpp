// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/canvas.h"

int TCanvas::TextWidth(const QString& Text)
{
    int w = 0;
    for (int a : TextAdvances(Text))
        w += a;
    return w;
}
