// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/previewgeometry.h"

#include "platform/rounding.h"

#include <algorithm>
#include <climits>
#include <cmath>

int ImageExtent(long double Length, int Zoom, long double Factor)
{
    // The shadow is added before rounding saturates: a damaged page's size
    // may already fill the int range.
    return RoundHalfEven(Length / 100 * Zoom * Factor + PageShadowExtra);
}

int FittedZoom(int ControlExtent, long double PageExtent, int Percent)
{
    if (!(PageExtent > 0))
        return 0;
    return RoundHalfEven(ControlExtent / PageExtent * Percent);
}

int CentredOffset(int ControlExtent, int ImageExtent)
{
    return ImageExtent < ControlExtent ? (ControlExtent - ImageExtent) / 2 : 0;
}

int UnzoomedCoordinate(int Value, int Zoom)
{
    if (Zoom <= 0)
        return Value;
    return RoundHalfEven(static_cast<long double>(Value) / Zoom * 100);
}

int WheelZoom(int Zoom, int AngleDelta)
{
    if (AngleDelta == 0)
        return Zoom;
    int target = RoundHalfEven(Zoom * std::pow(1.2L, AngleDelta / 120.0L));
    if (target == Zoom)
        target += AngleDelta > 0 ? 1 : -1;
    return std::clamp(target, MinZoom, MaxZoom);
}
