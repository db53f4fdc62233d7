// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the small main window goes so that it never covers the report the
// user is reading.
#include <QRect>

// Window moved beside Avoid (right, left, below or above, whichever fits on
// Screen nearest to where it is), or Window unchanged when it does not
// overlap Avoid or nothing fits. Rectangles are frames in screen pixels.
QRect PlaceBeside(const QRect& Window, const QRect& Avoid, const QRect& Screen);
