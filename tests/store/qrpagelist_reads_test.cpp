// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a report and showing page 1 reads the header and the first record,
// whatever the page count; the rest of the chain is checked only as far as
// the pages asked for, so damage behind page 1 shows when it is reached.
#include "platform/errors.h"
#include "report_helpers.h"
#include "store/qrdamagedreport.h"
#include "store/qrpagelist.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TReadCount {
    int Reads = 0;
    int64_t Bytes = 0;
};

// A report in memory that counts what is read from it.
class TCountingStream : public TStream {
public:
    TCountingStream(Bytes Data, TReadCount& Count) : FData(std::move(Data)), FCount(Count) {}
    int32_t Read(void* Buffer, int32_t Count) override
    {
        const int32_t n = std::max(0, std::min<int32_t>(Count, static_cast<int32_t>(FData.size()) - FPosition));
        std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
        FPosition += n;
        ++FCount.Reads;
        FCount.Bytes += n;
        return n;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int32_t Seek(int32_t Offset, int Origin) override
    {
        const int64_t base = Origin == soFromCurrent ? FPosition : Origin == soFromEnd ? int64_t(FData.size()) : 0;
        if (base + Offset >= 0)
            FPosition = static_cast<int32_t>(base + Offset);
        return FPosition;
    }

private:
    Bytes FData;
    TReadCount& FCount;
    int32_t FPosition = 0;
};

void Load(TQRPageList& List, Bytes Report, TReadCount& Count)
{
    List.LoadInPlace(
        TQRStream::CreateFromSource(std::make_unique<TCountingStream>(std::move(Report), Count), "counted.qrp"));
}

// Page 1, then Empty records that hold no page, then a last page: the shape
// of a report whose middle pages were lost.
Bytes ReportWithEmptyRecords(int32_t Empty)
{
    const Bytes page = MakeEmf(140, 7);
    Bytes r = MakeReport(128, {page}, false, Empty + 2);
    for (int32_t n = 2; n <= Empty + 1; ++n)
        AppendPageRecord(r, n, {});
    AppendPageRecord(r, Empty + 2, page);
    return r;
}

TEST(PageListReads, PageOneReadsTheSameBoundedBytesForAnyPageCount)
{
    for (const int pages : {300, 60000}) {
        SCOPED_TRACE(pages);
        TReadCount count;
        TQRPageList list;
        Load(list, MakeReport(128, std::vector<Bytes>(size_t(pages), MakeEmf(140, 3)), false), count);
        EXPECT_EQ(list.PageCount(), pages);
        ASSERT_NE(list.GetPage(1), nullptr);
        // The header, record 1 and its page come in one read of the window.
        EXPECT_LE(count.Reads, 2);
        EXPECT_LE(count.Bytes, 64 * 1024);
        // Page 2 is the next record: no more than one further read.
        ASSERT_NE(list.GetPage(2), nullptr);
        EXPECT_LE(count.Reads, 3);
    }
}

TEST(PageListReads, EmptyRecordsInTheMiddleCostNothingUntilReached)
{
    TReadCount count;
    TQRPageList list;
    Load(list, ReportWithEmptyRecords(200000), count);
    EXPECT_EQ(list.PageCount(), 200002);
    EXPECT_EQ(list.GetPage(1)->Data(), MakeEmf(140, 7));
    EXPECT_LE(count.Bytes, 64 * 1024);
    try {
        list.GetPage(2);
        FAIL();
    } catch (const EQRDamagedReport& e) {
        EXPECT_EQ(e.What(), "page 2: Page data is not an enhanced metafile: only 0 bytes remain");
    }
    // The walk to the end passes the empty records in windows, not one
    // read each, and the last page is found.
    EXPECT_EQ(list.GetPage(200002)->Data(), MakeEmf(140, 7));
    EXPECT_LT(count.Reads, 100);
    EXPECT_EQ(list.TrailingBytes(), 0);
}

TEST(PageListReads, LargePagesAreWalkedWithoutReadingTheirDrawings)
{
    TReadCount count;
    TQRPageList list;
    Load(list, MakeReport(128, std::vector<Bytes>(40, MakeEmf(200 * 1024, 5)), false), count);
    EmfHeader header;
    for (int32_t n = 1; n <= 40; ++n) {
        ASSERT_TRUE(list.GetPageHeader(n, header));
        EXPECT_EQ(header.nBytes, 200u * 1024);
    }
    EXPECT_EQ(list.TrailingBytes(), 0);
    // 8 MB of pages: their headers and back pointers, not their bodies.
    EXPECT_LT(count.Bytes, 128 * 1024);
}

struct TLateDamage {
    const char* Name;
    int32_t Offset; // in a report of three 400-byte pages
    int32_t Value;
    int32_t FirstBadPage; // pages before it stay readable
    const char* Message;
};

class LateDamage : public ::testing::TestWithParam<TLateDamage> {};

TEST_P(LateDamage, LoadsAndShowsTheDamageWhenItsPageIsReached)
{
    const TLateDamage& c = GetParam();
    Bytes report = MakeReport(128, {MakeEmf(400, 1), MakeEmf(400, 2), MakeEmf(400, 3)}, false);
    PutI32(report, size_t(c.Offset), c.Value);
    TReadCount count;
    TQRPageList list;
    Load(list, report, count);
    for (int32_t n = 1; n < c.FirstBadPage; ++n)
        EXPECT_EQ(list.GetPage(n)->Data(), MakeEmf(400, uint8_t(n)));
    for (int round = 0; round < 2; ++round) {
        try {
            list.GetPage(c.FirstBadPage);
            FAIL() << "page " << c.FirstBadPage << " was read";
        } catch (const EQRDamagedReport& e) {
            EXPECT_NE(e.What().find(c.Message), std::string::npos) << e.What();
        }
        // Still right after the failure, from either side.
        EXPECT_EQ(list.GetPage(1)->Data(), MakeEmf(400, 1));
    }
}

constexpr int32_t Record2 = 128 + 412, Record3 = 128 + 412 * 2;

INSTANTIATE_TEST_SUITE_P(
    Cases, LateDamage,
    ::testing::Values(TLateDamage{"PageCountLargerThanTheRecords", 8, 5, 4,
                                  "the header gives 5 pages but the file holds only 3 page records"},
                      TLateDamage{"RecordOutOfSequence", Record3, 9, 3, "numbered 9 where 3 was expected"},
                      TLateDamage{"NextOffsetOutsideTheFile", Record3 + 4, 1 << 30, 3, "outside the file"},
                      TLateDamage{"BackPointerLeadsAstray", Record3 - 4, Record3, 2, "back pointer"}),
    [](const ::testing::TestParamInfo<TLateDamage>& i) { return std::string(i.param.Name); });

} // namespace
