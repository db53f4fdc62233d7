// A generator thread appends pages while the preview's thread reads them:
// every page read must be whole and the one asked for, whatever the
// interleaving. Built a second time under ThreadSanitizer by scripts/fuzz.sh.
#include "platform/metafile.h"
#include "store/qrpagelist.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

void Put32(std::vector<uint8_t>& B, size_t At, uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        B[At + i] = uint8_t(V >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& B, size_t At)
{
    return uint32_t(B[At]) | uint32_t(B[At + 1]) << 8 | uint32_t(B[At + 2]) << 16 | uint32_t(B[At + 3]) << 24;
}

// A header, a comment carrying Marker and padding that varies the page size,
// and the end record.
constexpr size_t MarkerAt = 108 + 12;

TMetafile MarkedPage(uint32_t Marker)
{
    const uint32_t padding = 4 * (Marker % 97);
    const uint32_t comment = 16 + padding;
    std::vector<uint8_t> b(108 + comment + 20, 0);
    Put32(b, 0, 1);
    Put32(b, 4, 108);
    Put32(b, 32, 21000);
    Put32(b, 36, 29700);
    Put32(b, 40, ENHMETA_SIGNATURE);
    Put32(b, 44, 0x10000);
    Put32(b, 48, uint32_t(b.size()));
    Put32(b, 52, 3);
    Put32(b, 72, 794);
    Put32(b, 76, 1123);
    Put32(b, 80, 210);
    Put32(b, 84, 297);
    Put32(b, 108, 70); // EMR_GDICOMMENT
    Put32(b, 112, comment);
    Put32(b, 116, comment - 12);
    Put32(b, MarkerAt, Marker);
    Put32(b, 108 + comment, 14); // EMR_EOF
    Put32(b, 108 + comment + 4, 20);
    TMetafile page;
    page.LoadFromBytes(std::move(b));
    return page;
}

class PageListThreads : public ::testing::TestWithParam<bool> {};

} // namespace

TEST_P(PageListThreads, ReaderSeesEveryAppendedPageWhole)
{
    constexpr int32_t Pages = 1500;
    TQRPageList list;
    // Small enough that the stream moves to its temporary file mid-run.
    list.SetStream(std::make_unique<TQRStream>(64 * 1024));
    list.SetCompression(GetParam());
    std::atomic<bool> done{false};
    std::atomic<int> errors{0};

    std::thread generator([&] {
        for (int32_t n = 1; n <= Pages; ++n)
            list.AddPage(MarkedPage(uint32_t(n)));
        done = true;
    });

    int32_t verified = 0;
    unsigned seed = 7;
    for (bool last = false; !last;) {
        last = done;
        list.LockList();
        const int32_t count = list.PageCount();
        list.UnlockList();
        for (int32_t n = verified + 1; n <= count; ++n) {
            const std::unique_ptr<TMetafile> page = list.GetPage(n);
            if (!page || Get32(page->Data(), MarkerAt) != uint32_t(n))
                ++errors;
        }
        verified = count;
        if (count > 0) {
            const int32_t n = int32_t(rand_r(&seed) % unsigned(count)) + 1;
            const std::unique_ptr<TMetafile> page = list.GetPage(n);
            if (!page || Get32(page->Data(), MarkerAt) != uint32_t(n))
                ++errors;
        }
    }
    generator.join();
    EXPECT_EQ(verified, Pages);
    EXPECT_EQ(errors, 0);
    EXPECT_FALSE(list.Stream()->InMemory());
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, PageListThreads, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "Compressed" : "Plain"; });
