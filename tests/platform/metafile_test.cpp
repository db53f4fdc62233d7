// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfpage.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "platform/streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<uint8_t>;

// Header record of HeaderSize bytes with the fields past the 88 every header
// has set to ones, a comment when the page would be too short to load, then
// EOF.
Bytes Emf(uint32_t HeaderSize, uint32_t DescriptionOffset = 0)
{
    TEmfPageBuilder page;
    page.HeaderSize(HeaderSize).Frame(100, 200, 21100, 29900).Device(1024, 768).Millimeters(271, 203);
    if (HeaderSize + 20 < 128)
        page.Record(70, Bytes(128 - HeaderSize - 20 - 8)); // a comment
    Bytes b = page.Bytes();
    Set32(b, 64, DescriptionOffset);
    for (size_t i = 88; i < HeaderSize; i += 4)
        Set32(b, i, 0x11111111);
    return b;
}

TEST(ScaleFrameToPixels, RoundsHalvesAwayFromZero)
{
    const struct {
        int64_t Frame;
        int32_t Device, Millimeters;
        int Expected;
    } cases[] = {
        {21000, 1024, 271, 794}, // 793.5 rounds up
        {29700, 768, 203, 1124}, // 1123.6
        {-21000, 1024, 271, -794},
        {50, 1, 1, 1}, // exactly 0.5
        {-50, 1, 1, -1},
        {49, 1, 1, 0},
        {150, 1, 1, 2}, // 1.5, not to even
        {250, 1, 1, 3},
        {100, 5, -1, -5},
        {1000, 10, 0, 0},                       // no reference size
        {int64_t(1) << 40, 1 << 30, 1, 0},      // leaves the int range
        {100000050, 1 << 30, 1 << 30, 1000001}, // products past 2^53
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleFrameToPixels(c.Frame, c.Device, c.Millimeters), c.Expected)
            << c.Frame << " " << c.Device << " " << c.Millimeters;
}

TEST(Metafile, LoadsTheHeaderAndKeepsTheBytes)
{
    TMetafile m;
    m.LoadFromBytes(Emf(108));
    EXPECT_EQ(m.Data(), Emf(108));
    EXPECT_EQ(m.Header().nBytes, 128u);
    EXPECT_EQ(m.Width(), 794);
    EXPECT_EQ(m.Height(), 1124);
    EXPECT_EQ(m.MMWidth(), 21000);
    EXPECT_EQ(m.MMHeight(), 29700);
    TMemoryStream out;
    m.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), Emf(108));
}

TEST(Metafile, HeaderExtensionsFollowSizeAndDescription)
{
    const struct {
        uint32_t Size, Description;
        bool PixelFormat, Micrometers;
    } cases[] = {{88, 0, false, false},
                 {100, 0, true, false},
                 {108, 0, true, true},
                 {108, 100, true, false},
                 {108, 88, false, false}};
    for (const auto& c : cases) {
        TMetafile m;
        m.LoadFromBytes(Emf(c.Size, c.Description));
        EXPECT_EQ(m.Header().cbPixelFormat != 0, c.PixelFormat) << c.Size << "/" << c.Description;
        EXPECT_EQ(m.Header().szlMicrometers.cx != 0, c.Micrometers) << c.Size << "/" << c.Description;
    }
}

TEST(Metafile, LoaderRuleRefusesWhatIsNoMetafile)
{
    const struct {
        const char* Name;
        void (*Damage)(Bytes&);
        bool ReadError;
    } cases[] = {
        {"wrong record type", [](Bytes& b) { Set32(b, 0, 2); }, false},
        {"no signature", [](Bytes& b) { b[41] = 'X'; }, false},
        {"107 bytes only", [](Bytes& b) { b.resize(107); }, false},
        {"size below the header", [](Bytes& b) { Set32(b, 48, 100); }, false},
        {"ends early", [](Bytes& b) { Set32(b, 48, 4000); }, true},
        {"huge size", [](Bytes& b) { Set32(b, 48, 0xFFFFFFF0u); }, true},
    };
    for (const auto& c : cases) {
        Bytes b = Emf(108);
        c.Damage(b);
        TMetafile m;
        if (c.ReadError)
            EXPECT_THROW(m.LoadFromBytes(b), EReadError) << c.Name;
        else
            EXPECT_THROW(m.LoadFromBytes(b), EInvalidGraphic) << c.Name;
        EXPECT_TRUE(m.Empty()) << c.Name;
    }
}

TEST(Metafile, HeaderAndEndRecordAloneAreABlankPage)
{
    Bytes page = Emf(88);
    page.erase(page.begin() + 88, page.begin() + 108); // the comment
    Set32(page, 48, 108);
    ASSERT_EQ(page.size(), 108u);
    TMemoryStream s;
    s.WriteBuffer(page.data(), 108);
    s.WriteInt32(1234); // the back pointer behind a page in a report
    s.SetPosition(0);
    TMetafile m;
    m.LoadFromStream(s);
    EXPECT_EQ(m.Data(), page);
    EXPECT_EQ(m.Width(), 794);
    EXPECT_EQ(s.ReadInt32(), 1234);
    m.LoadFromBytes(page);
    EXPECT_EQ(m.Data().size(), 108u);
}

TEST(Metafile, ConsumesExactlyNBytesFromAStream)
{
    TMemoryStream s;
    const Bytes e = Emf(108);
    s.WriteBuffer(e.data(), static_cast<int32_t>(e.size()));
    s.WriteInt32(1234);
    s.SetPosition(0);
    TMetafile m;
    m.LoadFromStream(s);
    EXPECT_EQ(s.ReadInt32(), 1234);
}

TEST(Metafile, SavedFileIsByteIdenticalToTheCorpusPage)
{
    const std::string in = QRP_TEST_DATA "/emf/gdi-page1.emf";
    TMetafile m;
    m.LoadFromFile(in);
    char out[] = "/tmp/qrp-metafile-XXXXXX";
    const int fd = ::mkstemp(out);
    ASSERT_GE(fd, 0);
    ::close(fd);
    m.SaveToFile(out);
    std::ifstream a(in, std::ios::binary), b(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}), std::string(std::istreambuf_iterator<char>(b), {}));
    ::unlink(out);
}

} // namespace
