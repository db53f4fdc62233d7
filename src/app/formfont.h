// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The font of the viewer's own windows.
#include <QFont>

// "MS Sans Serif" at 11 pixels (8 points at 96 dpi). Where that face is
// missing, Liberation Sans stands in: its widths follow the design's pixel
// sizes, while the system's default sans face is wider and cuts captions.
QFont FormFont();
