// SPDX-License-Identifier: GPL-3.0-or-later
// Time and peak memory on the largest damaged inputs, and opening and paging
// a 100,000-page report against a 5-page one. Peak memory is the process's
// high-water mark (getrusage), so run one benchmark at a time to read it:
//   hardening_bench --benchmark_filter=Damaged/clip-path
#include "emfpage.h"
#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <map>

namespace {

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A damaged file goes the way the viewer takes it: the report loaded and
// every page fetched, or the EMF played at preview size.
void Damaged(benchmark::State& State, const std::string& File)
{
    const bool emf = File.size() > 4 && File.compare(File.size() - 4, 4, ".emf") == 0;
    for (auto _ : State) {
        try {
            if (emf) {
                TMetafile page;
                page.LoadFromFile(File);
                QImage image(794, 1123, QImage::Format_ARGB32_Premultiplied);
                QPainter painter(&image);
                PlayEmf(painter, QRectF(0, 0, 794, 1123), page);
            } else {
                benchmark::DoNotOptimize(InspectReportFile(File));
            }
        } catch (const Exception&) {
        }
    }
    State.counters["peak_MiB"] = PeakMiB();
}

std::vector<uint8_t> TinyPage()
{
    return TEmfPageBuilder().Frame(0, 0, 21000, 29700).Device(794, 1123).Millimeters(210, 297).Bytes();
}

const std::string& ReportOf(int Pages)
{
    static QTemporaryDir dir;
    static std::map<int, std::string> made;
    std::string& file = made[Pages];
    if (file.empty()) {
        file = dir.filePath(QStringLiteral("pages-%1.qrp").arg(Pages)).toStdString();
        TMetafile page;
        page.LoadFromBytes(TinyPage());
        TQRPageList list;
        list.SetStream(std::make_unique<TQRStream>(1 << 30));
        for (int i = 0; i < Pages; ++i)
            list.AddPage(page);
        list.Finish();
        list.SaveToFile(file);
    }
    return file;
}

// Opening reads the header and the last page; then the first pages, as the
// preview shows them.
void OpenAndPage(benchmark::State& State)
{
    const int pages = int(State.range(0));
    const std::string& file = ReportOf(pages);
    for (auto _ : State) {
        TQRPageList list;
        LoadReportFile(list, file);
        for (int n = 1; n <= 3; ++n)
            benchmark::DoNotOptimize(list.GetPage(n));
    }
    State.counters["peak_MiB"] = PeakMiB();
}

// A jump to the middle walks the record chain: linear in the pages crossed.
void JumpToMiddle(benchmark::State& State)
{
    const int pages = int(State.range(0));
    TQRPageList list;
    LoadReportFile(list, ReportOf(pages));
    for (auto _ : State) {
        benchmark::DoNotOptimize(list.GetPage(1));
        benchmark::DoNotOptimize(list.GetPage(pages / 2));
    }
}
BENCHMARK(JumpToMiddle)->Arg(5)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndPage)->Arg(5)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The largest inputs of each kind kept for robustness, and the crafted ones.
void RegisterDamaged()
{
    QStringList files;
    const QDir damaged(QStringLiteral(QRP_TEST_DATA "/damaged"));
    for (const QString& name : damaged.entryList({"*.qrp", "*.emf"}, QDir::Files))
        files << damaged.filePath(name);
    const QDir corrupted(QStringLiteral(QRP_TEST_DATA "/../../../shared/corpus/libemf2svg-corrupted"));
    for (const QString& name : corrupted.entryList({"*.emf"}, QDir::Files, QDir::Size).mid(0, 3))
        files << corrupted.filePath(name);
    for (const QString& file : files)
        benchmark::RegisterBenchmark(("Damaged/" + QFileInfo(file).fileName()).toStdString().c_str(), Damaged,
                                     file.toStdString())
            ->Unit(benchmark::kMillisecond);
}

} // namespace

void RegisterRuntimeBenchmarks()
{
    RegisterDamaged();
}
