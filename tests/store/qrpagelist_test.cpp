// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/errors.h"
#include "report_helpers.h"
#include "tempfolder.h"
#include "store/qrdamagedreport.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>
#include <random>

namespace {

TMetafile Page(uint32_t Size, uint8_t Seed = 0)
{
    TMetafile m;
    m.LoadFromBytes(MakeEmf(Size, Seed));
    return m;
}

std::unique_ptr<TQRPageList> NewList(bool Compressed, int32_t Limit = 1 << 24)
{
    auto list = std::make_unique<TQRPageList>();
    list->SetStream(std::make_unique<TQRStream>(Limit));
    list->SetCompression(Compressed);
    return list;
}

Bytes Content(TQRPageList& List)
{
    TMemoryStream out;
    List.SaveToStream(out);
    return out.Bytes();
}

TEST(PageList, WorkedTwoPageLayout)
{
    auto list = NewList(false);
    list->AddPage(Page(1000));
    list->AddPage(Page(2000));
    list->Finish();
    EXPECT_EQ(list->Stream()->Position(), 128);
    const Bytes f = Content(*list);
    ASSERT_EQ(f.size(), 3152u);
    EXPECT_EQ(GetI32(f, 8), 2);
    EXPECT_EQ(GetI32(f, 128), 1);
    EXPECT_EQ(GetI32(f, 132), 1140);
    EXPECT_EQ(std::string(f.begin() + 177, f.begin() + 180), "EMF");
    EXPECT_EQ(GetI32(f, 1136), 128);
    EXPECT_EQ(GetI32(f, 1140), 2);
    EXPECT_EQ(GetI32(f, 1144), 3152);
    EXPECT_EQ(GetI32(f, 3148), 1140);
    EXPECT_EQ(Bytes(f.begin() + 1148, f.begin() + 3148), MakeEmf(2000));
}

TEST(PageList, HeaderSaysOnePageUntilFinish)
{
    auto list = NewList(false);
    for (int i = 0; i < 3; ++i)
        list->AddPage(Page(300, static_cast<uint8_t>(i)));
    EXPECT_EQ(GetI32(Content(*list), 8), 1);
    list->Finish();
    const Bytes f = Content(*list);
    EXPECT_EQ(GetI32(f, 8), 3);
    EXPECT_EQ(GetI32(f, static_cast<size_t>(GetI32(f, f.size() - 4))), 3);
}

TEST(PageList, FetchesPagesInAnyOrderPlainAndCompressed)
{
    for (bool compressed : {false, true}) {
        auto list = NewList(compressed);
        std::vector<Bytes> pages;
        for (int i = 0; i < 12; ++i) {
            pages.push_back(MakeEmf(200 + 40 * static_cast<uint32_t>(i), static_cast<uint8_t>(i)));
            TMetafile m;
            m.LoadFromBytes(pages.back());
            list->AddPage(m);
        }
        list->Finish();
        std::vector<int32_t> order;
        for (int32_t n = 1; n <= 12; ++n)
            order.push_back(n);
        for (int32_t n = 12; n >= 1; --n)
            order.push_back(n);
        std::mt19937 rng(3);
        for (int i = 0; i < 40; ++i)
            order.push_back(1 + static_cast<int32_t>(rng() % 12));
        for (int32_t n : order)
            ASSERT_EQ(list->GetPage(n)->Data(), pages[static_cast<size_t>(n - 1)])
                << n << (compressed ? " compressed" : "");
        EXPECT_EQ(list->GetPage(0), nullptr);
        EXPECT_EQ(list->GetPage(13), nullptr);
        EXPECT_EQ(list->GetPage(-1), nullptr);
    }
}

TEST(PageList, ReadsEveryHeaderLayoutPlainAndCompressed)
{
    const std::vector<Bytes> pages = {MakeEmf(1000, 1), MakeEmf(400, 2), MakeEmf(128, 3)};
    const struct {
        int32_t Header;
        int32_t Count; // as a new list reads it
    } layouts[] = {{128, 3}, {124, 0}, {120, 1}, {96, 0}, {251, 0}};
    for (const auto& l : layouts)
        for (bool compressed : {false, true}) {
            TMemoryStream in;
            in.SetBytes(MakeReport(l.Header, pages, compressed));
            TQRPageList list;
            list.LoadFromStream(in);
            SCOPED_TRACE(std::to_string(l.Header) + (compressed ? " compressed" : ""));
            EXPECT_EQ(list.HeaderSize(), l.Header);
            EXPECT_EQ(list.PageCount(), l.Count);
            EXPECT_EQ(list.Compression(), compressed);
            EXPECT_EQ(list.CountRecords(), 3);
            list.SetPageCount(3);
            for (int32_t n = 3; n >= 1; --n)
                EXPECT_EQ(list.GetPage(n)->Data(), pages[static_cast<size_t>(n - 1)]);
        }
}

TEST(PageList, ReadsTheLayoutsAnotherProgramWrote)
{
    const Bytes first = ReadFileBytes(QRP_TEST_DATA "/emf/gdi-page2.emf");
    const Bytes second = ReadFileBytes(QRP_TEST_DATA "/emf/test-124.emf");
    for (const char* layout : {"128", "124", "120", "96", "200"})
        for (const char* suffix : {"", "-z"}) {
            const std::string name = std::string(QRP_TEST_DATA "/reports/layout-") + layout + suffix + ".qrp";
            SCOPED_TRACE(name);
            TQRPageList list;
            list.LoadFromFile(name);
            EXPECT_EQ(list.HeaderSize(), std::stoi(layout));
            EXPECT_EQ(list.Compression(), *suffix != 0);
            const int32_t records = list.CountRecords();
            EXPECT_EQ(records, std::string(layout) == "120" ? 1 : 2);
            list.SetPageCount(records);
            EXPECT_EQ(list.GetPage(1)->Data(), first);
            if (records == 2) {
                EXPECT_EQ(list.GetPage(2)->Data(), second);
            }
        }
}

TEST(PageList, SaveLoadRoundTripLeavesTheUsersFileByteIdentical)
{
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("saved.qrp");
    {
        auto list = NewList(false, 1000); // spills after the first page
        for (int i = 0; i < 5; ++i)
            list->AddPage(Page(600, static_cast<uint8_t>(i)));
        list->Finish();
        list->SaveToFile(name);
    }
    EXPECT_TRUE(tmp.Leftovers().empty());
    const Bytes saved = ReadFileBytes(name);
    {
        TQRPageList list;
        list.LoadFromFile(name);
        EXPECT_EQ(list.PageCount(), 5);
        EXPECT_EQ(list.GetPage(4)->Data(), MakeEmf(600, 3));
        list.SaveToFile(name); // over the very file it reads
        EXPECT_EQ(list.GetPage(2)->Data(), MakeEmf(600, 1));
    }
    EXPECT_EQ(ReadFileBytes(name), saved);
    EXPECT_TRUE(tmp.Leftovers().empty());
}

TEST(PageList, MovedIntoPlaceThroughALinkTheLinkStays)
{
    TPrivateTempFolder tmp;
    const std::string target = tmp.FilePath("target.qrp"), link = tmp.FilePath("link.qrp");
    WriteFileBytes(target, Bytes{1, 2, 3});
    ASSERT_EQ(::symlink("target.qrp", link.c_str()), 0);
    auto list = NewList(false, 1000); // spills to a temporary file, which is moved
    list->AddPage(Page(600, 1));
    list->AddPage(Page(600, 2));
    list->Finish();
    list->MoveToFile(link);
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    TQRPageList loaded;
    loaded.LoadFromFile(target);
    EXPECT_EQ(loaded.PageCount(), 2);
}

TEST(PageList, ShortFileIsAStreamReadErrorAndLeavesNoStream)
{
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("empty.qrp");
    const TQRFileHeaderRecord header = MakeFileHeader(0, 45000, false);
    WriteFileBytes(name, Bytes(header.begin(), header.end()));
    TQRPageList list;
    try {
        list.LoadFromFile(name);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(list.Stream(), nullptr);
    EXPECT_THROW(list.LoadFromFile(tmp.FilePath("missing.qrp")), EFOpenError);
}

// Mail gateways and old file systems pad files; every page stays readable
// from either end of the chain, and a chain that is really broken is still
// refused behind the padding.
TEST(PageList, BytesAfterTheLastRecordAreIgnored)
{
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("padded.qrp");
    const std::vector<Bytes> pages = {MakeEmf(1000, 1), MakeEmf(400, 2), MakeEmf(128, 3)};
    const Bytes paddings[] = {Bytes(1, 0), Bytes(4096, 0), Bytes(3, 0x1A), Bytes(512, 0x1A)};
    for (int32_t layout : {128, 96})
        for (bool compressed : {false, true})
            for (const Bytes& padding : paddings) {
                SCOPED_TRACE(std::to_string(layout) + (compressed ? " compressed, " : ", ") +
                             std::to_string(padding.size()) + " x " + std::to_string(padding[0]));
                Bytes report = MakeReport(layout, pages, compressed);
                report.insert(report.end(), padding.begin(), padding.end());
                WriteFileBytes(name, report);
                TQRPageList list;
                LoadReportFile(list, name);
                ASSERT_EQ(list.PageCount(), 3);
                EXPECT_EQ(list.TrailingBytes(), static_cast<int32_t>(padding.size()));
                for (int32_t n : {3, 3, 1, 2, 3, 2, 1})
                    EXPECT_EQ(list.GetPage(n)->Data(), pages[static_cast<size_t>(n - 1)]) << "page " << n;
            }

    Bytes broken = MakeReport(128, pages, false);
    PutI32(broken, 128 + 8 + 1000 + 4, 7); // record 2 numbered 7
    broken.insert(broken.end(), 64, 0);
    WriteFileBytes(name, broken);
    TQRPageList list;
    // Found once the chain is walked past page 1, not at the open.
    LoadReportFile(list, name);
    EXPECT_NE(list.GetPage(1), nullptr);
    EXPECT_THROW(list.GetPage(2), EQRDamagedReport);
    EXPECT_THROW(list.TrailingBytes(), EQRDamagedReport);
}

// A header that keeps no usable count over data that holds no record is
// some other file; a header that says "no pages" is an empty report.
TEST(PageList, DataWithoutRecordsIsNoReportUnlessTheHeaderSaysEmpty)
{
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("zeros.qrp");
    WriteFileBytes(name, Bytes(4096, 0));
    TQRPageList list;
    try {
        LoadReportFile(list, name);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + name + "\". It is not a report file");
    }
    EXPECT_EQ(list.Stream(), nullptr);

    const TQRFileHeaderRecord header = MakeFileHeader(0, 45000, false);
    Bytes empty(header.begin(), header.end());
    empty.resize(4096, 0);
    WriteFileBytes(name, empty);
    LoadReportFile(list, name);
    EXPECT_EQ(list.PageCount(), 0);
    EXPECT_EQ(list.TrailingBytes(), 4096 - 128);
}

TEST(PageList, ExtendedRecordsKeepTheirWholeLinks)
{
    auto list = NewList(false);
    const std::vector<THyperlink> links = {{{1, 2, 3, 4}, "https://example.org/ç"}, {{-5, 6, 70, 80}, "mailto:a@b 😀"}};
    list->AddPageEx(Page(300), &links);
    list->AddPageEx(Page(300, 1), nullptr);
    list->Finish();
    std::unique_ptr<TMetafile> page;
    std::unique_ptr<std::vector<THyperlink>> got;
    list->GetPageEx(1, page, got);
    ASSERT_TRUE(got);
    ASSERT_EQ(got->size(), 2u);
    EXPECT_EQ((*got)[0].Link, links[0].Link);
    EXPECT_EQ((*got)[1].Link, links[1].Link);
    EXPECT_EQ((*got)[1].Area.Left, -5);
    EXPECT_EQ((*got)[1].Area.Bottom, 80);
    EXPECT_EQ(page->Data(), MakeEmf(300));
    list->GetPageEx(2, page, got);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(page->Data(), MakeEmf(300, 1));
    list->GetPageEx(3, page, got);
    EXPECT_EQ(page, nullptr);
}

TEST(PageList, CompressedExtendedRecordsCarryNoLinks)
{
    auto list = NewList(true);
    const std::vector<THyperlink> links = {{{1, 2, 3, 4}, "x"}};
    list->AddPageEx(Page(300), &links);
    list->Finish();
    std::unique_ptr<TMetafile> page;
    std::unique_ptr<std::vector<THyperlink>> got;
    list->GetPageEx(1, page, got);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(page->Data(), MakeEmf(300));
}

TEST(PageList, ReadsLinkTextsAsStoredByteCounts)
{
    // Another writer stores L = characters and only L bytes of UTF-16.
    Bytes report = MakeReport(128, {MakeEmf(200)}, false);
    Bytes block = {1, 0, 0, 0};
    for (int32_t v : {10, 20, 30, 40, 4})
        for (int i = 0; i < 4; ++i)
            block.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    for (char c : std::string("ab"))
        block.insert(block.end(), {static_cast<uint8_t>(c), 0});
    report.insert(report.end() - 4, block.begin(), block.end());
    PutI32(report, 132, static_cast<int32_t>(report.size()));
    TMemoryStream in;
    in.SetBytes(report);
    TQRPageList list;
    list.LoadFromStream(in);
    std::unique_ptr<TMetafile> page;
    std::unique_ptr<std::vector<THyperlink>> got;
    list.GetPageEx(1, page, got);
    ASSERT_TRUE(got);
    EXPECT_EQ((*got)[0].Link, "ab");
    EXPECT_EQ((*got)[0].Area.Right, 30);
}

TEST(PageList, OutlinesClearAndEmptyPagesChangeNothing)
{
    auto list = NewList(false);
    list->AddPage(Page(300));
    const Bytes before = Content(*list);
    list->AddOutline(1, "Chapter", {0, 0, 10, 10}, 1);
    EXPECT_THROW(list->AddPage(TMetafile()), EInvalidGraphic);
    EXPECT_EQ(Content(*list), before);
    EXPECT_EQ(list->PageCount(), 1);
    list->Clear();
    EXPECT_EQ(list->PageCount(), 0);
    EXPECT_NE(list->Stream(), nullptr);
}

} // namespace
