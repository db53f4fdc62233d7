// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 text to and from the UTF-16LE bytes that report files store.
// Malformed input becomes U+FFFD rather than an error.
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> Utf8ToUtf16LE(const std::string& Text);
std::string Utf16LEToUtf8(const uint8_t* Bytes, size_t Count);
