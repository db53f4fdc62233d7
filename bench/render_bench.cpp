// SPDX-License-Identifier: GPL-3.0-or-later
// Playback speed: every corpus file at 800 pixels wide (median and 90th
// percentile per file, in one process), and a text-heavy A4 page.
#include "platform/emf/emfplayer.h"
#include "platform/emf/metafilecanvas.h"
#include "platform/metafile.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string CorpusDir()
{
    if (const char* dir = std::getenv("QRP_CORPUS"))
        return dir;
    return std::string(QRP_TEST_DATA) + "/../../../shared/corpus";
}

struct CorpusPage {
    std::string Name;
    TMetafile Page;
    QSize Size;
};

const std::vector<CorpusPage>& Corpus()
{
    static std::vector<CorpusPage> pages = [] {
        std::vector<CorpusPage> out;
        namespace fs = std::filesystem;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(CorpusDir(), ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path& p = it->path();
            if (p.extension() != ".emf" || p.string().find("/ref/") != std::string::npos)
                continue;
            CorpusPage c;
            c.Name = p.filename().string();
            try {
                c.Page.LoadFromFile(p.string());
            } catch (const std::exception&) {
                continue;
            }
            const EmfRect& f = c.Page.Header().rclFrame;
            const double fw = double(f.Right) - f.Left, fh = double(f.Bottom) - f.Top;
            const int h = fw > 0 && fh > 0 ? int(std::lround(800 * fh / fw)) : 800;
            c.Size = QSize(800, std::clamp(h, 1, 8000));
            out.push_back(std::move(c));
        }
        return out;
    }();
    return pages;
}

double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall-clock milliseconds; CpuMs receives this thread's processor time,
// which a machine shared with other jobs disturbs less.
double Render(const TMetafile& Page, QImage& Image, double* CpuMs = nullptr,
              TEmfTextMode Text = TEmfTextMode::Smooth)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuMs();
    Image.fill(Qt::white);
    QPainter painter(&Image);
    StretchDraw(painter, QRectF(QPointF(0, 0), QSizeF(Image.size())), Page, Text);
    painter.end();
    if (CpuMs)
        *CpuMs = ThreadCpuMs() - cpu;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Percentile(std::vector<double> V, double P)
{
    std::sort(V.begin(), V.end());
    return V.empty() ? 0 : V[size_t(P * double(V.size() - 1) + 0.5)];
}

// One iteration plays the whole corpus; the counters give the per-file
// figures over all iterations. Argument 0: the default (smoothed) text,
// 1: GDI's text.
TEmfTextMode ModeArgument(int64_t Arg)
{
    return Arg ? TEmfTextMode::Gdi : TEmfTextMode::Smooth;
}

void BM_CorpusAt800(benchmark::State& State)
{
    const TEmfTextMode mode = ModeArgument(State.range(0));
    const std::vector<CorpusPage>& corpus = Corpus();
    if (corpus.empty()) {
        State.SkipWithError("no corpus: set QRP_CORPUS");
        return;
    }
    std::vector<QImage> images;
    for (const CorpusPage& c : corpus)
        images.emplace_back(c.Size, QImage::Format_RGB32);
    std::vector<double> times, cpuTimes;
    std::vector<std::pair<double, std::string>> slowest;
    for (auto _ : State)
        for (size_t i = 0; i < corpus.size(); ++i) {
            double cpu = 0;
            times.push_back(Render(corpus[i].Page, images[i], &cpu, mode));
            cpuTimes.push_back(cpu);
            slowest.emplace_back(cpu, corpus[i].Name);
        }
    if (std::getenv("QRP_BENCH_SLOWEST")) {
        std::sort(slowest.rbegin(), slowest.rend());
        for (size_t i = 0; i < slowest.size() && i < 12; ++i)
            std::fprintf(stderr, "%8.2f ms  %s\n", slowest[i].first, slowest[i].second.c_str());
    }
    State.counters["files"] = double(corpus.size());
    State.counters["median_ms"] = Percentile(times, 0.5);
    State.counters["p90_ms"] = Percentile(times, 0.9);
    State.counters["max_ms"] = Percentile(times, 1.0);
    State.counters["cpu_median_ms"] = Percentile(cpuTimes, 0.5);
    State.counters["cpu_p90_ms"] = Percentile(cpuTimes, 0.9);
}
BENCHMARK(BM_CorpusAt800)->ArgName("gdi")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// An A4 page of 70 lines of 95 characters with their advances, as a report
// program records a dense listing.
const TMetafile& TextPage()
{
    static TMetafile page = [] {
        TMetafile m;
        TMetafileCanvas canvas(m, 794, 1123);
        canvas.Font.Name = QStringLiteral("Arial");
        canvas.Font.Height = -11;
        const QString line = QStringLiteral("Invoice 2024-%1  Customer Ölçü Şirketi  Amount 12.345,67 TRY  "
                                            "Due 31.12.2024  Status: open");
        for (int i = 0; i < 70; ++i) {
            const QString text = line.arg(i, 4, 10, QLatin1Char('0'));
            const std::vector<int> dx = canvas.TextAdvances(text);
            canvas.ExtTextOut(40, 40 + i * 15, 0, nullptr, text, &dx);
            if (i % 5 == 0) {
                canvas.MoveTo(40, 52 + i * 15);
                canvas.LineTo(754, 52 + i * 15);
            }
        }
        canvas.Finish();
        return m;
    }();
    return page;
}

void BM_TextPageA4(benchmark::State& State)
{
    const int dpi = int(State.range(0));
    QImage image(int(std::lround(210 / 25.4 * dpi)), int(std::lround(297 / 25.4 * dpi)), QImage::Format_RGB32);
    const TMetafile& page = TextPage();
    const TEmfTextMode mode = ModeArgument(State.range(1));
    std::vector<double> times, cpuTimes;
    for (auto _ : State) {
        double cpu = 0;
        times.push_back(Render(page, image, &cpu, mode));
        cpuTimes.push_back(cpu);
    }
    State.counters["median_ms"] = Percentile(times, 0.5);
    State.counters["cpu_median_ms"] = Percentile(cpuTimes, 0.5);
}
BENCHMARK(BM_TextPageA4)
    ->ArgNames({"dpi", "gdi"})
    ->ArgsProduct({{96, 600}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace
