// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text of EXTTEXTOUTA records: bytes in the code page of the font's charset.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes Count bytes in CodePage. ByteCounts, when given, receives for
// each UTF-16 unit of the result how many bytes it came from (0 for the
// second unit of a surrogate pair), so that per-byte advances can be summed.
QString EmfDecodeAnsi(const uint8_t* Bytes, size_t Count, int CodePage, std::vector<int>* ByteCounts = nullptr);

// True for the double-byte code pages (Japanese, Chinese, Korean).
bool EmfIsDoubleByteCodePage(int CodePage);

// Text in the Symbol face: its codes (or their 0xF0xx aliases) to the
// Unicode characters they show, so that any face with those can draw them.
QString EmfSymbolToUnicode(const QString& Text);
