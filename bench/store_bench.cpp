// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a report, sequential page access and memory over a 1 GB report.
// Every report is made in the temporary folder and deleted afterwards.
#include "platform/streams.h"
#include "platform/system.h"
#include "store/qrfileheader.h"
#include "store/qrpagelist.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sys/resource.h>

namespace {

std::vector<uint8_t> SamplePage()
{
    std::ifstream f(QRP_TEST_DATA "/emf/gdi-page2.emf", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// A page of exactly Size bytes: the sample page's header with nBytes
// raised, then an EMR_COMMENT, then EOF.
std::vector<uint8_t> BigPage(uint32_t Size)
{
    const std::vector<uint8_t> sample = SamplePage();
    std::vector<uint8_t> p(sample.begin(), sample.begin() + 108);
    p.resize(Size, 0x33);
    auto put = [&p](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(4, 108);
    put(48, Size);
    put(52, 3);
    put(64, 0);
    put(108, 70);
    put(112, Size - 128);
    put(116, Size - 140);
    put(Size - 20, 14);
    put(Size - 16, 20);
    put(Size - 4, 20);
    return p;
}

// Written record by record, straight to disk, so that making the report
// does not itself raise the peak memory.
std::string WriteReport(int32_t Pages, const std::vector<uint8_t>& Page)
{
    const std::string name = GetTempFileName(GetTempPath(), "QRPBENCH");
    TFileStream f(name, fmCreate);
    const TQRFileHeaderRecord header = MakeFileHeader(Pages, Now(), false);
    f.WriteBuffer(header.data(), 128);
    int32_t start = 128;
    for (int32_t n = 1; n <= Pages; ++n) {
        const int32_t next = start + 8 + static_cast<int32_t>(Page.size()) + 4;
        f.WriteInt32(n);
        f.WriteInt32(next);
        f.WriteBuffer(Page.data(), static_cast<int32_t>(Page.size()));
        f.WriteInt32(start);
        start = next;
    }
    return name;
}

class Reports {
public:
    ~Reports()
    {
        for (const auto& r : FFiles)
            DeleteFile(r.second);
    }
    const std::string& Get(int32_t Pages)
    {
        auto it = FFiles.find(Pages);
        if (it == FFiles.end())
            it = FFiles.emplace(Pages, WriteReport(Pages, SamplePage())).first;
        return it->second;
    }

private:
    std::map<int32_t, std::string> FFiles;
};

Reports& SharedReports()
{
    static Reports reports;
    return reports;
}

void BM_OpenAndFirstPage(benchmark::State& State)
{
    const std::string& name = SharedReports().Get(static_cast<int32_t>(State.range(0)));
    for (auto _ : State) {
        TQRPageList list;
        list.LoadFromFile(name);
        benchmark::DoNotOptimize(list.GetPage(1));
    }
}
BENCHMARK(BM_OpenAndFirstPage)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SequentialPages(benchmark::State& State)
{
    const bool forward = State.range(0) != 0;
    TQRPageList list;
    list.LoadFromFile(SharedReports().Get(20000));
    const int32_t count = list.PageCount();
    for (auto _ : State)
        for (int32_t i = 1; i <= count; ++i)
            benchmark::DoNotOptimize(list.GetPage(forward ? i : count + 1 - i));
    State.SetItemsProcessed(int64_t(State.iterations()) * count);
    State.SetLabel(forward ? "forward, pages/s" : "backward, pages/s");
}
BENCHMARK(BM_SequentialPages)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

long PeakRssKiB()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// About 1 GB of 512 KiB pages, fetched in order: the peak resident memory
// must stay near one page, whatever the file size.
void BM_FetchEveryPageOf1GB(benchmark::State& State)
{
    const uint32_t pageSize = 512 * 1024;
    const int32_t pages = 2040;
    std::string name;
    {
        const std::vector<uint8_t> page = BigPage(pageSize);
        name = WriteReport(pages, page);
    }
    const long before = PeakRssKiB();
    for (auto _ : State) {
        TQRPageList list;
        list.LoadFromFile(name);
        for (int32_t i = 1; i <= list.PageCount(); ++i)
            benchmark::DoNotOptimize(list.GetPage(i));
    }
    DeleteFile(name);
    State.counters["file_MB"] = double(pages) * (pageSize + 12) / 1e6;
    State.counters["page_MB"] = pageSize / 1e6;
    State.counters["peak_rss_before_MB"] = before / 1024.0;
    State.counters["peak_rss_MB"] = PeakRssKiB() / 1024.0;
    State.SetBytesProcessed(int64_t(State.iterations()) * pages * pageSize);
}
BENCHMARK(BM_FetchEveryPageOf1GB)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
