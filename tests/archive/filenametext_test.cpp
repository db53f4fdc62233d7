// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/filenametext.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>

namespace {

// Names as a file system hands them out, each with the text Python's
// surrogateescape makes of it (so that os.fsencode() in a script agrees).
struct TNameCase {
    const char* What;
    std::string Bytes;
    std::u16string Text;
};

const TNameCase NameCases[] = {
    {"ASCII", "/srv/r/a.qrp", u"/srv/r/a.qrp"},
    {"Turkish in UTF-8", "\xC3\x96z.qrp", u"\u00D6z.qrp"},
    {"a Latin-1 byte", "r\xFF.qrp", u"r\xDCFF.qrp"},
    {"a sequence cut short",
     "a\xE2\x82"
     "A",
     u"a\xDCE2\xDC82"
     u"A"},
    {"an overlong slash", "\xC0\xAF", u"\xDCC0\xDCAF"},
    {"an encoded surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
    {"past U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
    {"outside the BMP", "\xF0\x9F\x98\x80", u"\U0001F600"},
};

TEST(FileNameText, DecodesLikeSurrogateescapeAndGivesTheBytesBack)
{
    for (const TNameCase& c : NameCases) {
        const QString text = FileNameText(c.Bytes);
        EXPECT_EQ(text, QString::fromStdU16String(c.Text)) << c.What;
        EXPECT_EQ(FileNameBytes(text), c.Bytes) << c.What;
    }
    // Every single byte and every pair survive the round trip.
    for (int a = 1; a < 256; ++a)
        for (int b = 0; b < 256; b += 17) {
            const std::string name{char(a), char(b), '.', char(0xC3)};
            ASSERT_EQ(FileNameBytes(FileNameText(name)), name) << a << ' ' << b;
        }
}

TEST(FileNameText, KeysAreValidUnicodeAndNeverShared)
{
    EXPECT_EQ(FileNameKey("/srv/Öz.qrp"), QStringLiteral("/srv/Öz.qrp"));
    EXPECT_EQ(FileNameKey("r\xFF.qrp"), QStringLiteral("r%FF.qrp"));
    // A name that spells the escape itself gets a key of its own.
    EXPECT_EQ(FileNameKey("r%FF.qrp"), QStringLiteral("r%25FF.qrp"));
    std::set<QString> keys;
    for (const TNameCase& c : NameCases) {
        const QString key = FileNameKey(c.Bytes);
        EXPECT_EQ(QString::fromUtf8(key.toUtf8()), key) << c.What;
        keys.insert(key);
    }
    keys.insert(FileNameKey("r%FF.qrp"));
    EXPECT_EQ(keys.size(), std::size(NameCases) + 1);
}

} // namespace
