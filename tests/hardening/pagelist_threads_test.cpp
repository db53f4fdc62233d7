// SPDX-License-Identifier: GPL-3.0-or-later
// A generator thread appends pages while the preview's thread reads them:
// every page read must be whole and the one asked for, whatever the
// interleaving. Built a second time under ThreadSanitizer by scripts/fuzz.sh.
#include "emfpage.h"
#include "platform/metafile.h"
#include "store/qrpagelist.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// A header, a comment carrying Marker and padding that varies the page size,
// and the end record.
constexpr size_t MarkerAt = 108 + 12;

TMetafile MarkedPage(uint32_t Marker)
{
    std::vector<uint8_t> comment;
    Put32(comment, Marker);
    comment.resize(comment.size() + 4 * (Marker % 97), 0);
    TMetafile page;
    page.LoadFromBytes(
        TEmfPageBuilder().Frame(0, 0, 21000, 29700).Device(794, 1123).Millimeters(210, 297).Comment(comment).Bytes());
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
