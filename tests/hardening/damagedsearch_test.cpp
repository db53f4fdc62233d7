// SPDX-License-Identifier: GPL-3.0-or-later
// A search that meets damaged pages names them and goes on behind them,
// from the same worker's place in the chain, instead of starting over.
#include "platform/metafile.h"
#include "printer/demoreport.h"
#include "archive/reporttext.h"
#include "report_helpers.h"
#include "store/qrpagelist.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// Page 1 and the last page of a demo report around Empty records that hold
// no page.
std::string ReportWithLostMiddle(const QTemporaryDir& Dir, int32_t Empty, std::string& Word)
{
    const QString demo = Dir.filePath("demo.qrp");
    SaveDemoReport(demo, 1);
    TQRPageList source;
    source.LoadFromFile(demo.toStdString());
    const std::vector<uint8_t> page = source.GetPage(1)->Data();
    const std::vector<TEmfTextLine> lines = EmfPageLines(*source.GetPage(1), false);
    EXPECT_FALSE(lines.empty());
    Word = lines.empty() ? std::string("?") : lines[0].Text.toStdString();

    Bytes r = MakeReport(128, {page}, false, Empty + 2);
    for (int32_t n = 2; n <= Empty + 1; ++n)
        AppendPageRecord(r, n, {});
    AppendPageRecord(r, Empty + 2, page);
    const std::string name = Dir.filePath("lost-middle.qrp").toStdString();
    WriteFileBytes(name, r);
    return name;
}

TEST(DamagedSearch, PagesBehindDamagedOnesAreStillSearched)
{
    QTemporaryDir dir;
    std::string word;
    // More records than one slice of a search worker holds.
    const std::string file = ReportWithLostMiddle(dir, 100, word);
    const TTextQuery query(QString::fromStdString(word), 0, false);
    for (const int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        std::vector<TFileSearch> results;
        SearchFiles({file}, query, jobs, [&](const TFileSearch& r) { results.push_back(r); });
        ASSERT_EQ(results.size(), 1u);
        const TFileSearch& r = results[0];
        std::vector<int> pages;
        for (const TTextHit& hit : r.Hits)
            if (pages.empty() || pages.back() != hit.Page)
                pages.push_back(hit.Page);
        EXPECT_EQ(pages, (std::vector<int>{1, 102}));
        EXPECT_EQ(r.Pages, 2);
        EXPECT_NE(r.Error.find("page 2: Page data is not an enhanced metafile"), std::string::npos) << r.Error;
    }
}

} // namespace
