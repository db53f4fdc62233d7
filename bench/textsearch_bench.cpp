// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool search's engine over archives of demo reports: MB of report pages
// and pages per second, plain and compressed (CPU: all threads, so that the
// figures hold on a busy machine too), and the share of the
// compressed case spent fetching (decoding) pages; text of a 500-page report.
#include "platform/emftext/emftext.h"
#include "platform/metafile.h"
#include "platform/emftext/textfold.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "archive/reporttext.h"
#include "preview/findbar.h"
#include "preview/qrpreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Reports = 8, PagesPerReport = 60;

// Eight reports of 60 pages each, plain or compressed, made once.
const std::vector<std::string>& Archive(bool Compressed)
{
    static QTemporaryDir dir;
    static std::vector<std::string> files[2];
    std::vector<std::string>& f = files[Compressed];
    if (f.empty()) {
        for (int i = 0; i < Reports; ++i) {
            TQRPrinter report;
            TDemoReportOptions options;
            options.Pages = PagesPerReport;
            options.Compress = Compressed;
            ProduceDemoReport(report, options);
            const QString name = dir.filePath(QStringLiteral("%1-%2.qrp").arg(Compressed ? "packed" : "plain").arg(i));
            report.Save(name);
            f.push_back(name.toStdString());
        }
    }
    return f;
}

void Search(benchmark::State& State, bool Compressed)
{
    const std::vector<std::string>& files = Archive(Compressed);
    const TTextQuery query(QStringLiteral("ozturk celik"), FoldCase | FoldDiacritics, false);
    const int jobs = int(State.range(0));
    int64_t bytes = 0, pages = 0, hits = 0;
    for (auto _ : State) {
        SearchFiles(files, query, jobs, [&](const TFileSearch& r) {
            bytes += r.Bytes;
            pages += r.Pages;
            hits += int64_t(r.Hits.size());
        });
    }
    if (hits != int64_t(State.iterations()) * Reports * PagesPerReport * 2)
        State.SkipWithError("wrong number of hits");
    State.SetBytesProcessed(bytes);
    State.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
}

void BM_SearchPlainArchive(benchmark::State& State)
{
    Search(State, false);
}
void BM_SearchCompressedArchive(benchmark::State& State)
{
    Search(State, true);
}
BENCHMARK(BM_SearchPlainArchive)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SearchCompressedArchive)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Fetching pages alone, no text: what the search cannot go below. Over the
// compressed archive this is the decoder's share.
void FetchOnly(benchmark::State& State, bool Compressed)
{
    const std::vector<std::string>& files = Archive(Compressed);
    int64_t bytes = 0;
    for (auto _ : State) {
        for (const std::string& f : files) {
            TTextSource source(f);
            for (int p = 1; p <= source.PageCount(); ++p)
                bytes += int64_t(source.Page(p)->Data().size());
        }
    }
    State.SetBytesProcessed(bytes);
}
void BM_FetchPlainPages(benchmark::State& State)
{
    FetchOnly(State, false);
}
void BM_FetchCompressedPages(benchmark::State& State)
{
    FetchOnly(State, true);
}
BENCHMARK(BM_FetchPlainPages)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FetchCompressedPages)->Unit(benchmark::kMillisecond)->UseRealTime();

const QString& Sample500()
{
    static QTemporaryDir dir;
    static const QString name = [] {
        const QString n = dir.filePath(QStringLiteral("sample-500.qrp"));
        SaveDemoReport(n, 500);
        return n;
    }();
    return name;
}

// qrptool text of the 500-page sample, without writing it out.
void BM_TextOf500Pages(benchmark::State& State)
{
    const QString& name = Sample500();
    int64_t chars = 0;
    for (auto _ : State) {
        TTextSource source(name.toStdString());
        for (int p = 1; p <= source.PageCount(); ++p)
            chars += EmfLinesText(EmfPageLines(*source.Page(p), false)).size();
    }
    benchmark::DoNotOptimize(chars);
}
BENCHMARK(BM_TextOf500Pages)->Unit(benchmark::kMillisecond)->Iterations(3);

// The viewer's find bar over the 500-page sample from page 1: time to the
// first hit and to the last, and the longest the GUI thread went without
// handling events meanwhile. Arg 0: a name on every page; 1: the last
// page's footer only.
void BM_FindIn500PageViewer(benchmark::State& State)
{
    TQRPrinter document(nullptr);
    document.Load(Sample500());
    QWidget window;
    auto* preview = new TQRPreview(&window);
    auto* bar = new TFindBar(preview, &window);
    preview->SetQRPrinter(&document);
    window.resize(900, 700);
    window.show();
    const QString pattern = State.range(0) == 0 ? QStringLiteral("ozturk") : QStringLiteral("sayfa 500 / 500");
    // The same loop with nothing to search: what the machine's load alone
    // costs the GUI thread.
    double idleStall = 0;
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 500) {
            const qint64 before = clock.nsecsElapsed();
            QCoreApplication::processEvents();
            idleStall = std::max(idleStall, double(clock.nsecsElapsed() - before) / 1e6);
        }
    }
    double first = 0, all = 0, stall = 0;
    for (auto _ : State) {
        bar->Open();
        bar->Edit()->clear();
        preview->SetPageNumber(1);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(); // page 1 drawn before the clock starts
        QElapsedTimer clock;
        clock.start();
        bar->Edit()->setText(pattern);
        double firstAt = -1, longest = 0;
        while (bar->Searching()) {
            const qint64 before = clock.nsecsElapsed();
            QCoreApplication::processEvents();
            longest = std::max(longest, double(clock.nsecsElapsed() - before) / 1e6);
            if (firstAt < 0 && bar->HitCount() > 0)
                firstAt = double(clock.nsecsElapsed()) / 1e6;
        }
        all += double(clock.nsecsElapsed()) / 1e6;
        first += firstAt;
        stall = std::max(stall, longest);
        if (bar->HitCount() == 0)
            State.SkipWithError("nothing found");
    }
    State.counters["first_hit_ms"] = first / double(State.iterations());
    State.counters["all_hits_ms"] = all / double(State.iterations());
    State.counters["max_gui_stall_ms"] = stall;
    State.counters["idle_stall_ms"] = idleStall;
    preview->SetQRPrinter(nullptr);
}
BENCHMARK(BM_FindIn500PageViewer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
