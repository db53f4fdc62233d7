// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Searching the text of a document's pages without stalling the GUI: pages
// are fetched on the GUI thread in slices of a few milliseconds (the
// document is not shared with other threads) and read and matched on a
// worker thread; hits come back page by page through signals.
#include "archive/reporttext.h"

#include <QObject>
#include <QRectF>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QTimer;
class TMetafile;

class TTextSearchJob : public QObject {
    Q_OBJECT
public:
    using TPageFetch = std::function<std::unique_ptr<TMetafile>(int Page)>;

    explicit TTextSearchJob(QObject* Parent = nullptr);
    ~TTextSearchJob() override;

    // Searches pages FirstPage..PageCount, then 1..FirstPage-1; a running
    // search stops first.
    void Start(TPageFetch Fetch, int PageCount, int FirstPage, const TTextQuery& Query);
    // Stops at once; no signal of the stopped search arrives afterwards.
    void Stop();
    bool Running() const { return FRunning; }
    int PagesDone() const { return FDone; }
    int PageCount() const { return FPageCount; }

signals:
    // Matches on Page in page coordinates, in reading order; only pages with hits.
    void PageHits(int Page, const QVector<QRectF>& Boxes);
    void Progress(int Done, int Total);
    void Finished();

private:
    struct TItem {
        int Page;
        std::unique_ptr<TMetafile> Data;
    };
    void Pump();
    void Work(unsigned Generation);
    void Deliver(unsigned Generation, int Page, QVector<QRectF> Boxes);

    QTimer* FPump;
    TPageFetch FFetch;
    std::unique_ptr<TTextQuery> FQuery;
    int FPageCount = 0, FFirstPage = 1, FNextIndex = 0, FDone = 0;
    bool FRunning = false;
    unsigned FGeneration = 0;

    std::thread FWorker;
    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<TItem> FQueue;
    bool FNoMorePages = false;
    std::atomic<bool> FCancel{false};
};
