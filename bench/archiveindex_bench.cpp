// SPDX-License-Identifier: GPL-3.0-or-later
// A query of the archive index, in process: the best 20 pages with their
// snippets, for the two-word queries of scripts/bench-index.sh. The index is
// QRP_INDEX_BENCH_DB when set (the script's archive), else a small one of
// demo reports made here.
#include "platform/emftext/textfold.h"
#include "archive/archiveindex.h"
#include "printer/demoreport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

const char* const Queries[] = {"genel toplam", "ışıklar tekstil", "çelik profil", "fatura ilgaz", "kırtasiye şerit"};

TArchiveIndex& Index()
{
    static QTemporaryDir dir;
    static std::unique_ptr<TArchiveIndex> index;
    if (!index) {
        if (const char* db = std::getenv("QRP_INDEX_BENCH_DB")) {
            index = std::make_unique<TArchiveIndex>(db, TArchiveIndex::ReadOnly);
        } else {
            for (int i = 0; i < 16; ++i)
                SaveDemoReport(dir.filePath(QStringLiteral("r%1.qrp").arg(i)), 60);
            index = std::make_unique<TArchiveIndex>(dir.filePath(QStringLiteral("archive.db")).toStdString());
            TIndexUpdateOptions options;
            options.Jobs = 2;
            index->Update({dir.path().toStdString()}, options);
        }
    }
    return *index;
}

void BM_TwoWordQuery(benchmark::State& State)
{
    const QString query = QString::fromUtf8(Queries[State.range(0)]);
    TArchiveIndex& index = Index();
    size_t hits = 0;
    for (auto _ : State)
        hits = index.Query(query, FoldCase, 20).size();
    State.SetLabel(query.toStdString() + ", " + std::to_string(hits) + " hits of " + std::to_string(index.PageCount()) +
                   " pages");
}
BENCHMARK(BM_TwoWordQuery)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace
