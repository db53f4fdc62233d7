// SPDX-License-Identifier: GPL-3.0-or-later
// Where the first page starts, and what each header layout says.
#include "platform/errors.h"
#include "report_helpers.h"
#include "store/qrstream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::unique_ptr<TQRStream> StreamOf(const Bytes& Data)
{
    return TQRStream::CreateFromMemory(Data);
}

Bytes WithSignatureAt(size_t Size, size_t Offset)
{
    Bytes b(Size, 0x48);
    std::memcpy(&b[Offset], "EMF", 3);
    return b;
}

TEST(HeaderSize, FindsEveryLayoutByItsSignature)
{
    const struct {
        int32_t Header;
        bool Compressed;
        int32_t Expected;
    } cases[] = {
        {128, false, 128}, {124, false, 124}, {120, false, 120}, {96, false, 96}, {251, false, 251}, {0, false, 0},
        {128, true, 128},  {124, true, 124},  {120, true, 120},  {96, true, 96},  {200, true, 200},
    };
    const std::vector<Bytes> pages = {MakeEmf(1000, 1), MakeEmf(400, 2)};
    for (const auto& c : cases) {
        auto s = StreamOf(MakeReport(c.Header, pages, c.Compressed));
        EXPECT_EQ(s->HeaderSize(), c.Expected) << c.Header << (c.Compressed ? " compressed" : "");
    }
}

TEST(HeaderSize, ProbesComeBeforeTheScanAndTheFirstProbeWins)
{
    const struct {
        Bytes Data;
        int32_t Expected;
    } cases[] = {
        {WithSignatureAt(400, 300), 251},
        {WithSignatureAt(400, 177), 128},
        {WithSignatureAt(400, 145), 96},
        {WithSignatureAt(1200, 1001), 952},
        {WithSignatureAt(1200, 1002), 128}, // beyond the scan
        {Bytes(400, 0), 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StreamOf(c.Data)->HeaderSize(), c.Expected);
    Bytes both = WithSignatureAt(400, 177);
    std::memcpy(&both[173], "EMF", 3);
    EXPECT_EQ(StreamOf(both)->HeaderSize(), 124);
}

TEST(HeaderSize, ScanHitInsideTheHeaderGivesANegativeSize)
{
    EXPECT_EQ(StreamOf(WithSignatureAt(400, 10))->HeaderSize(), -39);
}

TEST(HeaderSize, StreamShorterThanTheProbesIsAStreamReadError)
{
    for (size_t size : {0, 128, 175, 179}) {
        auto s = StreamOf(Bytes(size, 0));
        s->Seek(0, soFromEnd);
        try {
            s->HeaderSize();
            ADD_FAILURE() << size << " bytes";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_EQ(s->Position(), static_cast<int32_t>(size));
    }
    EXPECT_EQ(StreamOf(Bytes(180, 0))->HeaderSize(), 128);
}

TEST(HeaderSize, LeavesThePositionWhereItWas)
{
    auto s = StreamOf(MakeReport(96, {MakeEmf(300)}, false));
    s->SetPosition(57);
    EXPECT_EQ(s->HeaderSize(), 96);
    EXPECT_EQ(s->Position(), 57);
}

TEST(ConvertHeader, MovesThe124ByteFieldsAndLeavesOtherSizesAlone)
{
    TQRFileHeaderRecord h{};
    for (size_t i = 0; i < h.size(); ++i)
        h[i] = static_cast<uint8_t>(i);
    TQRFileHeaderRecord same = h;
    ConvertHeader(same, 128);
    EXPECT_EQ(same, h);

    TQRFileHeaderRecord c = h;
    ConvertHeader(c, 124);
    for (int i : {0, 1, 2, 3, 4, 8, 9, 10, 11})
        EXPECT_EQ(c[i], i);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(c[16 + i], 12 + i);
    EXPECT_EQ(c[24], 20);
    EXPECT_EQ(c[25], 21);
    EXPECT_EQ(c[26], 22);
    EXPECT_EQ(c[126], 122);
}

TEST(FileHeader, CurrentLayoutByteForByte)
{
    const TQRFileHeaderRecord h = MakeFileHeader(0x01020304, 45000.5, true);
    EXPECT_EQ(h[0], 3);
    EXPECT_EQ(h[2], 50);
    EXPECT_EQ(GetI32(Bytes(h.begin(), h.end()), 8), 0x01020304);
    double t;
    std::memcpy(&t, &h[16], 8);
    EXPECT_EQ(t, 45000.5);
    EXPECT_EQ(h[25], 1);
    for (int i = 26; i <= 125; ++i)
        ASSERT_EQ(h[i], 'H');
    for (int i : {1, 3, 4, 5, 6, 7, 12, 13, 14, 15, 24, 126, 127})
        EXPECT_EQ(h[i], 0) << i;
    EXPECT_EQ(MakeFileHeader(1, 0, false)[25], 0);
}

TEST(FileHeader, EachLayoutGivesItsOwnFields)
{
    TQRFileHeaderRecord h = MakeFileHeader(7, 45000.5, false);
    h[25] = 1;
    const struct {
        int32_t Size;
        bool HasCount;
        int32_t Count;
        bool HasTime;
    } cases[] = {{128, true, 7, true},
                 {124, false, 0, true},
                 {120, true, 1, false},
                 {96, false, 0, false},
                 {251, false, 0, false}};
    for (const auto& c : cases) {
        const TQRHeaderFields f = ReadHeaderFields(h, c.Size);
        EXPECT_EQ(f.HasPageCount, c.HasCount) << c.Size;
        EXPECT_EQ(f.PageCount, c.Count) << c.Size;
        EXPECT_EQ(f.HasCreationTime, c.HasTime) << c.Size;
        EXPECT_TRUE(f.Compression) << c.Size;
    }
    h[25] = 2; // only the value 1 means compressed
    EXPECT_FALSE(ReadHeaderFields(h, 128).Compression);
}

} // namespace
