// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The characters a text record shows, as Unicode: Symbol and Wingdings codes
// to the characters they picture, glyph indices back through the face's
// character map.
#include <QString>

#include <cstdint>

// Text as read from the record (already decoded from its code page) in a
// font of Face and Charset. Glyph indices of a face that is not installed,
// or when no GUI application provides fonts, become U+FFFD.
QString EmfReadableText(const QString& Text, const QString& Face, uint8_t Charset, bool GlyphIndexes);
