// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows face names to installed faces with the same metrics, so that text
// recorded on Windows keeps its line breaks and column widths here.
#include <QString>

#include <cstdint>

// The installed family to use for a LOGFONT face name. Faces without a
// metric-compatible stand-in go to one of the same width class when the
// LOGFONT's pitch and family or the name tell it (fixed pitch, narrow,
// serif, sans), otherwise to the family fontconfig would choose, so a page
// renders alike here and in other fontconfig-based players.
QString MapFontFace(const QString& WindowsFace, uint8_t PitchAndFamily = 0);
