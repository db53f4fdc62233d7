// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/utf16.h"

namespace {

constexpr uint32_t Replacement = 0xFFFD;

void PutUnit(std::vector<uint8_t>& out, uint32_t u)
{
    out.push_back(static_cast<uint8_t>(u));
    out.push_back(static_cast<uint8_t>(u >> 8));
}

void PutUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One code point from UTF-8 at s[i], advancing i; overlong forms,
// surrogates and truncated sequences give U+FFFD.
uint32_t NextCodePoint(const std::string& s, size_t& i)
{
    const uint8_t b = static_cast<uint8_t>(s[i++]);
    if (b < 0x80)
        return b;
    int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? (b < 0xF0 ? 2 : -1) : b >= 0xC2 ? 1 : -1;
    if (extra < 0)
        return Replacement;
    uint32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<uint8_t>(s[i]) & 0xC0) != 0x80)
            return Replacement;
        c = c << 6 | (static_cast<uint8_t>(s[i++]) & 0x3F);
    }
    static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return Replacement;
    return c;
}

} // namespace

std::vector<uint8_t> Utf8ToUtf16LE(const std::string& Text)
{
    std::vector<uint8_t> out;
    out.reserve(Text.size() * 2);
    for (size_t i = 0; i < Text.size();) {
        const uint32_t c = NextCodePoint(Text, i);
        if (c >= 0x10000) {
            PutUnit(out, 0xD800 + ((c - 0x10000) >> 10));
            PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            PutUnit(out, c);
        }
    }
    return out;
}

std::string Utf16LEToUtf8(const uint8_t* Bytes, size_t Count)
{
    std::string out;
    const size_t units = Count / 2;
    for (size_t k = 0; k < units; ++k) {
        const uint32_t u = Bytes[2 * k] | Bytes[2 * k + 1] << 8;
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const uint32_t v = Bytes[2 * k + 2] | Bytes[2 * k + 3] << 8;
            if (v >= 0xDC00 && v <= 0xDFFF) {
                PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++k;
                continue;
            }
        }
        PutUtf8(out, u >= 0xD800 && u <= 0xDFFF ? Replacement : u);
    }
    if (Count % 2)
        PutUtf8(out, Replacement); // half a code unit
    return out;
}
