// SPDX-License-Identifier: GPL-3.0-or-later
// Link texts are stored as UTF-16LE; whatever bytes a damaged file or a
// caller's string holds, conversion gives text with U+FFFD in place of what
// could not be read, and never more code points than were there.
#include "store/utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const std::string Fffd = "\xEF\xBF\xBD";

std::string FromUnits(const std::vector<uint16_t>& Units)
{
    Bytes b;
    for (uint16_t u : Units) {
        b.push_back(uint8_t(u));
        b.push_back(uint8_t(u >> 8));
    }
    return Utf16LEToUtf8(b.data(), b.size());
}

std::vector<uint16_t> ToUnits(const std::string& Text)
{
    const Bytes b = Utf8ToUtf16LE(Text);
    EXPECT_EQ(b.size() % 2, 0u);
    std::vector<uint16_t> units;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        units.push_back(uint16_t(b[i] | b[i + 1] << 8));
    return units;
}

} // namespace

TEST(Utf16, WellFormedTextGoesBothWays)
{
    const struct {
        std::string Utf8;
        std::vector<uint16_t> Units;
    } cases[] = {
        {"", {}},
        {"http://x/a?b=1", {'h', 't', 't', 'p', ':', '/', '/', 'x', '/', 'a', '?', 'b', '=', '1'}},
        {"\xC3\xA7\xC4\x9F", {0x00E7, 0x011F}},         // two-byte forms
        {"\xE2\x82\xAC\xEF\xBF\xBF", {0x20AC, 0xFFFF}}, // three-byte, highest BMP
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},         // a surrogate pair
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},         // the last code point
        {"\xEF\xBF\xBD", {0xFFFD}},                     // U+FFFD itself
        {std::string("a\0b", 3), {'a', 0, 'b'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Utf8.c_str());
        EXPECT_EQ(ToUnits(c.Utf8), c.Units);
        EXPECT_EQ(FromUnits(c.Units), c.Utf8);
    }
}

TEST(Utf16, MalformedUtf8GivesReplacementCharacters)
{
    const struct {
        const char* What;
        std::string In;
        std::vector<uint16_t> Units;
    } cases[] = {
        {"overlong slash, two bytes", "\xC0\xAF", {0xFFFD, 0xFFFD}},
        {"overlong slash, three bytes",
         "a\xE0\x80\xAF"
         "b",
         {'a', 0xFFFD, 'b'}},
        {"overlong slash, four bytes", "\xF0\x80\x80\xAF", {0xFFFD}},
        {"overlong NUL", "\xC1\x80", {0xFFFD, 0xFFFD}},
        {"encoded high surrogate", "\xED\xA0\x80", {0xFFFD}},
        {"encoded low surrogate",
         "\xED\xBF\xBF"
         "z",
         {0xFFFD, 'z'}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {0xFFFD}},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
        {"0xFF",
         "\xFF"
         "a",
         {0xFFFD, 'a'}},
        {"lone continuation",
         "a\x80"
         "b",
         {'a', 0xFFFD, 'b'}},
        {"truncated at the end", "a\xE2\x82", {'a', 0xFFFD}},
        {"truncated four-byte", "\xF0\x9F\x98", {0xFFFD}},
        {"truncated, then ASCII",
         "\xE2\x82"
         "A",
         {0xFFFD, 'A'}},
        {"truncated, then a new lead", "\xC3\xC3\xA7", {0xFFFD, 0x00E7}},
        {"lead alone", "\xC3", {0xFFFD}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(ToUnits(c.In), c.Units);
    }
}

TEST(Utf16, MalformedUtf16GivesReplacementCharacters)
{
    const struct {
        const char* What;
        std::vector<uint16_t> In;
        std::string Out;
    } cases[] = {
        {"lone high surrogate", {'a', 0xD800, 'b'}, "a" + Fffd + "b"},
        {"high surrogate at the end", {'a', 0xDBFF}, "a" + Fffd},
        {"lone low surrogate", {0xDC00, 'b'}, Fffd + "b"},
        {"pair reversed", {0xDE00, 0xD83D}, Fffd + Fffd},
        {"two highs, then a low", {0xD83D, 0xD83D, 0xDE00}, Fffd + "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(FromUnits(c.In), c.Out);
    }
}

TEST(Utf16, OddTrailingByteGivesAReplacementCharacter)
{
    const uint8_t bytes[] = {'a', 0, 'b'};
    EXPECT_EQ(Utf16LEToUtf8(bytes, 3), "a" + Fffd);
    EXPECT_EQ(Utf16LEToUtf8(bytes, 1), Fffd);
    EXPECT_EQ(Utf16LEToUtf8(bytes, 0), "");
}
