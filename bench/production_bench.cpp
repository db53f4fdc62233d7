// SPDX-License-Identifier: GPL-3.0-or-later
// Producing the 500-page demo report: pages per second, and how far the
// resident memory peaks above where it started. Pages go to the page stream
// as they are finished and the stream spills to its file, so the peak should
// stay near one page's worth whatever the page count.
#include "printer/demoreport.h"
#include "printer/qrprinter.h"
#include "store/qrpagelist.h"


#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// VmHWM or VmRSS of this process in kB.
long StatusKb(const char* Field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(Field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

// Lets VmHWM start again from the current resident size.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ProduceDemoReport(benchmark::State& State)
{
    TDemoReportOptions options;
    options.Pages = static_cast<int>(State.range(0));
    options.Compress = State.range(1) != 0;
    {
        // Fonts and glyph caches are loaded once per process, not per report.
        TQRPrinter warmup;
        TDemoReportOptions one = options;
        one.Pages = 2;
        ProduceDemoReport(warmup, one);
    }
    long peakAbove = 0;
    double bytesPerPage = 0;
    for (auto _ : State) {
        ResetPeak();
        const long baseline = StatusKb("VmRSS");
        {
            TQRPrinter report;
            ProduceDemoReport(report, options);
            State.PauseTiming();
            bytesPerPage = static_cast<double>(report.PageList()->Stream()->Size()) / options.Pages;
            State.ResumeTiming();
        }
        peakAbove = std::max(peakAbove, StatusKb("VmHWM") - baseline);
    }
    State.SetItemsProcessed(State.iterations() * options.Pages);
    State.counters["pages/s"] = benchmark::Counter(static_cast<double>(State.iterations() * options.Pages),
                                                   benchmark::Counter::kIsRate);
    State.counters["peak_above_baseline_kB"] = static_cast<double>(peakAbove);
    State.counters["page_kB"] = bytesPerPage / 1024.0;
}

BENCHMARK(BM_ProduceDemoReport)
    ->ArgNames({"pages", "compress"})
    ->Args({500, 0})
    ->Args({500, 1})
    ->Args({50, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace
