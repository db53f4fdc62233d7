// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/errors.h"
#include "platform/streams.h"
#include "store/qrcompress.h"
#include "store/qrpagelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Code(const Bytes& Plain)
{
    TMemoryStream out;
    {
        TQRCompress c(out, true);
        for (uint8_t b : Plain)
            c.Compress(b);
    }
    return out.Bytes();
}

Bytes Decode(const Bytes& Coded, size_t Count)
{
    TMemoryStream in;
    in.SetBytes(Coded);
    Bytes plain(Count);
    TQRCompress d(in, false);
    for (uint8_t& b : plain)
        d.Expand(b);
    return plain;
}

struct Vector {
    Bytes Plain, Coded;
};

TEST(QRCompress, PublishedVectorsHold)
{
    const Vector vectors[] = {
        {{0x00}, {0x80}},
        {{0xFF}, {0x00, 0x00}},
        {{'a', 'b', 'c'}, {0x46, 0x3D, 0x01}},
        {{'a', 'a', 'a', 'a'}, {0x46, 0x45}},
        {{}, {}},
    };
    for (const Vector& v : vectors) {
        EXPECT_EQ(Code(v.Plain), v.Coded);
        EXPECT_EQ(Decode(v.Coded, v.Plain.size()), v.Plain);
    }
}

Bytes ReadFile(const std::string& Name)
{
    std::ifstream f(Name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

// The inputs of tests/data/compress/make_vectors.py, an independent coder,
// which wrote what each must code to.
TEST(QRCompress, LongInputsCodeAsTheIndependentCoderCodesThem)
{
    const std::string sentence = "Sayfa 12 / 40: Ankara subesi, 1.234,50 TL tahsilat; Izmir 987,00 TL. ";
    Bytes text;
    while (text.size() < 20000)
        text.insert(text.end(), sentence.begin(), sentence.end());
    text.resize(20000);
    Bytes allBytes;
    for (int i = 0; i < 256 * 40; ++i)
        allBytes.push_back(static_cast<uint8_t>(i));
    // Up and down through the byte values makes the tree a long chain: the
    // last byte gets a code of 70 bits, past the 64 the fast path collects.
    Bytes deep;
    for (int i = 0; i < 2260; ++i)
        deep.push_back(static_cast<uint8_t>((i / 256) % 2 == 0 ? i % 256 : 255 - i % 256));
    deep.push_back(1);
    const struct {
        const char* Name;
        Bytes Plain;
    } inputs[] = {
        {"text", text},          {"zeros", Bytes(10000, 0)},
        {"all-bytes", allBytes}, {"page", ReadFile(QRP_TEST_DATA "/emf/gdi-page1.emf")},
        {"deep", deep},
    };
    for (const auto& in : inputs) {
        SCOPED_TRACE(in.Name);
        const Bytes expected = ReadFile(std::string(QRP_TEST_DATA "/compress/") + in.Name + ".coded");
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Code(in.Plain), expected);
        EXPECT_EQ(Decode(expected, in.Plain.size()), in.Plain);
    }
}

TEST(QRCompress, CodeEndingOnAByteBoundaryAddsNoByte)
{
    // "a" (0x61) starts with an 8-bit code: one full byte, nothing to flush.
    EXPECT_EQ(Code({'a'}).size(), 1u);
}

TEST(QRCompress, RoundTripsEveryLengthAndKindOfData)
{
    std::mt19937 rng(7);
    for (size_t length = 0; length < 700; length += (length < 300 ? 1 : 37)) {
        Bytes random(length), runs(length), text(length);
        for (size_t i = 0; i < length; ++i) {
            random[i] = static_cast<uint8_t>(rng());
            runs[i] = static_cast<uint8_t>(i / 50 % 3 == 0 ? 0xFF : i / 13);
            text[i] = static_cast<uint8_t>("Report page text, 12.345,00 TL "[i % 31]);
        }
        for (const Bytes* plain : {&random, &runs, &text})
            ASSERT_EQ(Decode(Code(*plain), length), *plain) << "length " << length;
    }
}

TEST(QRCompress, RoundTripsLongPagesAcrossBufferBoundaries)
{
    std::mt19937 rng(11);
    Bytes plain(300000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<uint8_t>(i % 4096 < 2048 ? rng() : i % 7);
    EXPECT_EQ(Decode(Code(plain), plain.size()), plain);
}

TEST(QRCompress, DecoderStopsRightBehindTheCodedBytes)
{
    const Bytes coded = Code({'a', 'b', 'c'});
    TMemoryStream in;
    in.SetBytes(coded);
    const uint8_t trailer[] = {9, 9, 9, 9};
    in.Seek(0, soFromEnd);
    in.WriteBuffer(trailer, 4);
    in.SetPosition(0);
    {
        TQRCompress d(in, false);
        EXPECT_EQ(d.Expand(), 'a');
        EXPECT_EQ(d.Expand(), 'b');
        EXPECT_EQ(d.Expand(), 'c');
    }
    EXPECT_EQ(in.Position(), static_cast<int32_t>(coded.size()));
}

TEST(QRCompress, DecodingPastTheDataIsAReadErrorNotAnOverread)
{
    const Bytes coded = Code({'x', 'y'});
    TMemoryStream in;
    in.SetBytes(coded);
    TQRCompress d(in, false);
    d.Expand();
    d.Expand();
    try {
        for (int i = 0; i < 64; ++i)
            d.Expand();
        FAIL() << "expanded beyond the coded data";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("ends before"), std::string::npos);
    }
}

// The coder as the file format describes it, one bit at a time through
// parent links: the yardstick for the table-driven coder and decoder.
struct ReferenceCoder {
    uint16_t Left[256], Right[256], Up[513];

    ReferenceCoder()
    {
        Up[0] = 0;
        for (int i = 1; i <= 512; ++i)
            Up[i] = static_cast<uint16_t>((i - 1) / 2);
        for (int j = 0; j < 256; ++j) {
            Left[j] = static_cast<uint16_t>(2 * j + 1);
            Right[j] = static_cast<uint16_t>(2 * j + 2);
        }
    }
    void Splay(int Plain)
    {
        int a = Plain + 256;
        while (Up[a] != 0) {
            const int p = Up[a], g = Up[p];
            int u = Left[g];
            if (u == p) {
                u = Right[g];
                Right[g] = static_cast<uint16_t>(a);
            } else {
                Left[g] = static_cast<uint16_t>(a);
            }
            (Left[p] == a ? Left[p] : Right[p]) = static_cast<uint16_t>(u);
            Up[a] = static_cast<uint16_t>(g);
            Up[u] = static_cast<uint16_t>(p);
            a = g;
        }
    }
    Bytes Code(const Bytes& Plain)
    {
        Bytes out;
        int bit = 0, byte = 0;
        for (uint8_t b : Plain) {
            int path[256], depth = 0;
            for (int a = b + 256; a != 0; a = Up[a])
                path[depth++] = Right[Up[a]] == a;
            while (depth > 0) {
                byte |= path[--depth] << bit;
                if (++bit == 8) {
                    out.push_back(static_cast<uint8_t>(byte));
                    bit = byte = 0;
                }
            }
            Splay(b);
        }
        if (bit)
            out.push_back(static_cast<uint8_t>(byte));
        return out;
    }
};

// A stream that hands out at most a few bytes per read, as a page buffer
// that grows while the page arrives does.
class TTrickleStream : public TMemoryStream {
public:
    explicit TTrickleStream(std::mt19937& Rng) : FRng(Rng) {}
    int32_t Read(void* Buffer, int32_t Count) override
    {
        return TMemoryStream::Read(Buffer, std::min<int32_t>(Count, static_cast<int32_t>(FRng() % 11 + 1)));
    }

private:
    std::mt19937& FRng;
};

// Megabytes of data of changing character, coded as the reference codes
// them, then decoded in pieces of every size through single symbols, whole
// buffers and a stream that delivers a few bytes at a time.
TEST(QRCompress, LongRandomRoundTripAgreesWithTheReferenceCoder)
{
    std::mt19937 rng(2026);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Bytes plain;
        while (plain.size() < 300000) {
            const size_t run = rng() % 20000 + 1;
            const unsigned kind = rng() % 5;
            for (size_t i = 0; i < run; ++i) {
                switch (kind) {
                case 0: plain.push_back(static_cast<uint8_t>(rng())); break;
                case 1:
                    plain.push_back(static_cast<uint8_t>(
                        std::min(255u, static_cast<unsigned>(__builtin_ctz(rng() | 1u << 31)) * 9u)));
                    break;
                case 2: plain.push_back(static_cast<uint8_t>(i % 512 < 256 ? i : 511 - i % 512)); break;
                case 3: plain.push_back(0); break;
                default: plain.push_back(static_cast<uint8_t>("EMR_EXTTEXTOUTW 1.234,50 "[i % 25])); break;
                }
            }
        }
        const Bytes coded = ReferenceCoder().Code(plain);
        ASSERT_EQ(Code(plain), coded);

        Bytes trailer = coded;
        trailer.insert(trailer.end(), {7, 7, 7, 7, 7, 7, 7, 7, 7});
        TTrickleStream in(rng);
        in.SetBytes(trailer);
        Bytes decoded(plain.size());
        {
            TQRCompress d(in, false);
            size_t at = 0;
            while (at < decoded.size()) {
                const size_t piece = std::min<size_t>(decoded.size() - at, rng() % 3 == 0 ? 1 : rng() % 9000);
                if (piece == 1)
                    d.Expand(decoded[at]);
                else
                    d.ExpandBytes(decoded.data() + at, piece);
                at += piece;
            }
            d.Finish();
        }
        ASSERT_EQ(decoded, plain);
        EXPECT_EQ(in.Position(), static_cast<int32_t>(coded.size()));
    }
}

TEST(QRCompress, CoderWritesItsBytesToTheStreamAtTheCurrentPosition)
{
    TMemoryStream out;
    const uint8_t head[] = {1, 2, 3};
    out.WriteBuffer(head, 3);
    {
        TQRCompress c(out, true);
        c.Compress(0);
    }
    EXPECT_EQ(out.Bytes(), (Bytes{1, 2, 3, 0x80}));
}

// The stored compressed reports, written by an independent coder, read
// page for page as the same report stored plain.
TEST(QRCompress, StoredCompressedReportsReadAsTheirPlainTwins)
{
    for (const char* layout : {"96", "120", "124", "128", "200"}) {
        SCOPED_TRACE(layout);
        const std::string dir = QRP_TEST_DATA "/reports/layout-";
        TQRPageList plain, coded;
        plain.LoadFromFile(dir + layout + ".qrp");
        coded.LoadFromFile(dir + layout + "-z.qrp");
        ASSERT_TRUE(coded.Compression());
        ASSERT_FALSE(plain.Compression());
        // Some header layouts keep no page count.
        for (TQRPageList* list : {&plain, &coded})
            if (list->PageCount() == 0)
                list->SetPageCount(list->CountRecords());
        const int32_t pages = plain.PageCount();
        ASSERT_GT(pages, 0);
        ASSERT_EQ(coded.PageCount(), pages);
        for (int32_t n = 1; n <= pages; ++n) {
            const std::unique_ptr<TMetafile> a = plain.GetPage(n), b = coded.GetPage(n);
            ASSERT_TRUE(a && b) << "page " << n;
            ASSERT_GT(a->Data().size(), 100u);
            EXPECT_TRUE(a->Data() == b->Data()) << "page " << n;
        }
    }
}

} // namespace
