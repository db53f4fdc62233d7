#pragma once
// Windows face names to installed faces with the same metrics, so that text
// recorded on Windows keeps its line breaks and column widths here.
#include <QString>

// The installed family to use for a LOGFONT face name. Faces without a
// metric-compatible stand-in go to the family fontconfig would choose, so
// a page renders alike here and in other fontconfig-based players.
QString MapFontFace(const QString& WindowsFace);
