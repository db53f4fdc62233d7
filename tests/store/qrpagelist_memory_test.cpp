// SPDX-License-Identifier: GPL-3.0-or-later
// A compressed page's claimed length is a limit, not an allocation: the
// buffer grows with what the code yields. Watched through the sanitizer's
// allocation hooks, so the test runs in the sanitizer build only.
#include "platform/errors.h"
#include "report_helpers.h"
#include "store/qrdamagedreport.h"
#include "store/qrcompress.h"
#include "store/qrpagelist.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define QRP_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QRP_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef QRP_ALLOCATION_HOOKS
// The runtime's own declaration (sanitizer/allocator_interface.h) ships
// with clang only.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Allocate)(const volatile void*, size_t),
                                                         void (*Free)(const volatile void*));

namespace {

std::atomic<bool> Watching{false};
std::atomic<size_t> Largest{0};

void OnAllocate(const volatile void*, size_t Size)
{
    if (!Watching.load(std::memory_order_relaxed))
        return;
    size_t seen = Largest.load();
    while (Size > seen && !Largest.compare_exchange_weak(seen, Size)) {
    }
}

void OnFree(const volatile void*) {}

} // namespace
#endif

namespace {

// One compressed page whose record claims Claim bytes from Code.
Bytes CompressedReport(int32_t Claim, const Bytes& Code)
{
    Bytes r = MakeReport(128, {MakeEmf(400, 1)}, true);
    r.resize(128);
    const int32_t start = 128;
    r.resize(size_t(start) + 12 + 4 + Code.size());
    PutI32(r, size_t(start), 1);
    PutI32(r, size_t(start) + 4, static_cast<int32_t>(r.size()));
    PutI32(r, size_t(start) + 8, Claim);
    std::copy(Code.begin(), Code.end(), r.begin() + start + 12);
    PutI32(r, r.size() - 4, start);
    return r;
}

TEST(CompressedPageMemory, AClaimTheCodeCannotMeetIsNeverAllocated)
{
#ifndef QRP_ALLOCATION_HOOKS
    GTEST_SKIP() << "needs the sanitizer's allocation hooks";
#else
    // A page of 256 KiB whose drawing is noise, coded as a writer codes a
    // page: decoding yields it and then runs out, however much more the
    // record claims.
    std::mt19937 rng(23);
    Bytes noise = MakeEmf(256 * 1024, 1);
    for (size_t i = 108; i + 20 < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(rng());
    TMemoryStream coded;
    {
        TQRCompress coder(coded, true);
        coder.CompressBytes(noise.data(), noise.size());
        coder.Finish();
    }
    const Bytes code = coded.TakeBytes();
    const auto claim = static_cast<int32_t>(code.size() * 8);
    TMemoryStream in;
    in.SetBytes(CompressedReport(claim, code));
    TQRPageList list;
    list.LoadFromStream(in);
    ASSERT_TRUE(list.Compression());

    __sanitizer_install_malloc_and_free_hooks(OnAllocate, OnFree);
    Largest = 0;
    Watching = true;
    std::string message;
    try {
        list.GetPage(1);
    } catch (const EQRDamagedReport& e) {
        message = e.What();
    }
    Watching = false;
    EXPECT_EQ(message, "page 1: Compressed page data ends before the page is complete");
    EXPECT_LT(Largest.load(), size_t(claim) / 3);
#endif
}

TEST(CompressedPageMemory, AGrowingBufferKeepsEveryPageByteIdentical)
{
    // Pages on and across the growth steps (64 KiB, then doubling).
    const std::vector<Bytes> pages = {MakeEmf(140, 1), MakeEmf(64 * 1024, 2), MakeEmf(64 * 1024 + 4, 3),
                                      MakeEmf(128 * 1024 + 4, 4), MakeEmf(300 * 1024, 5)};
    TMemoryStream in;
    in.SetBytes(MakeReport(128, pages, true));
    TQRPageList list;
    list.LoadFromStream(in);
    for (int32_t n = 1; n <= 5; ++n)
        EXPECT_EQ(list.GetPage(n)->Data(), pages[size_t(n - 1)]) << "page " << n;
}

} // namespace
