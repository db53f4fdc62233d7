// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowplacement.h"

#include <algorithm>
#include <limits>

namespace {

int Clamped(int Value, int Low, int High)
{
    return High < Low ? Low : std::clamp(Value, Low, High);
}

} // namespace

QRect PlaceBeside(const QRect& Window, const QRect& Avoid, const QRect& Screen)
{
    if (!Window.intersects(Avoid))
        return Window;
    const int w = Window.width(), h = Window.height();
    const int y = Clamped(Window.y(), Screen.top(), Screen.bottom() - h + 1);
    const int x = Clamped(Window.x(), Screen.left(), Screen.right() - w + 1);
    const QRect candidates[] = {
        QRect(Avoid.right() + 1, y, w, h),
        QRect(Avoid.left() - w, y, w, h),
        QRect(x, Avoid.bottom() + 1, w, h),
        QRect(x, Avoid.top() - h, w, h),
    };
    QRect best = Window;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QRect& c : candidates) {
        if (!Screen.contains(c) || c.intersects(Avoid))
            continue;
        const QPoint d = c.topLeft() - Window.topLeft();
        const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}
