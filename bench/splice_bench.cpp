// SPDX-License-Identifier: GPL-3.0-or-later
// Splicing a long report page by page through the page store, against
// copying the same bytes with cat: extract all pages of the report, then
// merge the range ten times, as a ten-copy print job does.
#include "app/qrselect.h"
#include "printer/demoreport.h"
#include "printer/qrprinter.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace {

constexpr int Copies = 10;

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}

QString Report(int Pages)
{
    static std::map<int, QString> made;
    auto it = made.find(Pages);
    if (it != made.end())
        return it->second;
    const QString file = Dir().filePath(QString("report%1.qrp").arg(Pages));
    SaveDemoReport(file, Pages);
    return made[Pages] = file;
}

double PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double CatSeconds(const QString& Source)
{
    const QString range = Dir().filePath("cat-range.qrp");
    QString copies = "cat";
    for (int i = 0; i < Copies; ++i)
        copies += " '" + range + "'";
    const QString command = "cat '" + Source + "' > '" + range + "' && " + copies + " > '" +
                            Dir().filePath("cat-copies.qrp") + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.toLocal8Bit().constData()) != 0)
        return 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ExtractAndMergeTenCopies(benchmark::State& State)
{
    const QString source = Report(static_cast<int>(State.range(0)));
    const QString range = Dir().filePath("range.qrp");
    const QString copies = Dir().filePath("copies.qrp");
    const QStringList list(Copies, range);
    double splice = 0, cat = 0;
    for (auto _ : State) {
        const auto start = std::chrono::steady_clock::now();
        ExtractPageRange(source, range, 0, 0);
        MergeReportFiles(copies, &list);
        splice += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        State.PauseTiming();
        cat += CatSeconds(source);
        State.ResumeTiming();
    }
    State.counters["ratio_to_cat"] = cat > 0 ? splice / cat : 0;
    State.counters["report_MB"] = QFileInfo(source).size() / 1048576.0;
    State.counters["peak_rss_MB"] = PeakRssMb();
    State.SetBytesProcessed(int64_t(State.iterations()) * QFileInfo(source).size() * (1 + Copies));
}
// Smaller first: peak memory only ever grows, so a flat peak_rss_MB from 100
// to 1000 pages shows that memory does not grow with the report.
BENCHMARK(BM_ExtractAndMergeTenCopies)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
