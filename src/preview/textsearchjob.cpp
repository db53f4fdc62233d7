// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/textsearchjob.h"

#include "platform/metafile.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// Pages waiting for the worker, and the GUI thread's time per slice.
constexpr size_t MaxQueued = 8;
constexpr qint64 SliceNanoseconds = 5'000'000;

} // namespace

TTextSearchJob::TTextSearchJob(QObject* Parent) : QObject(Parent), FPump(new QTimer(this))
{
    FPump->setInterval(1);
    connect(FPump, &QTimer::timeout, this, &TTextSearchJob::Pump);
}

TTextSearchJob::~TTextSearchJob()
{
    Stop();
}

void TTextSearchJob::Start(TPageFetch Fetch, int PageCount, int FirstPage, const TTextQuery& Query)
{
    Stop();
    FFetch = std::move(Fetch);
    FQuery = std::make_unique<TTextQuery>(Query);
    FPageCount = std::max(0, PageCount);
    FFirstPage = std::clamp(FirstPage, 1, std::max(1, FPageCount));
    FNextIndex = 0;
    FDone = 0;
    FNoMorePages = false;
    FCancel = false;
    FRunning = true;
    const unsigned generation = ++FGeneration;
    FWorker = std::thread([this, generation] { Work(generation); });
    FPump->start();
    Pump();
}

void TTextSearchJob::Stop()
{
    FPump->stop();
    ++FGeneration; // drops what the worker already posted
    {
        std::lock_guard<std::mutex> g(FLock);
        FCancel = true;
        FQueue.clear();
        FWake.notify_all();
    }
    if (FWorker.joinable())
        FWorker.join();
    FRunning = false;
}

void TTextSearchJob::Pump()
{
    QElapsedTimer clock;
    clock.start();
    while (FNextIndex < FPageCount && clock.nsecsElapsed() < SliceNanoseconds) {
        {
            std::lock_guard<std::mutex> g(FLock);
            if (FQueue.size() >= MaxQueued)
                return;
        }
        const int page = (FFirstPage - 1 + FNextIndex) % FPageCount + 1;
        ++FNextIndex;
        std::unique_ptr<TMetafile> data;
        try {
            data = FFetch(page);
        } catch (...) {
            // A damaged page has no text to find; the others still do.
        }
        std::lock_guard<std::mutex> g(FLock);
        FQueue.push_back({page, std::move(data)});
        FWake.notify_all();
    }
    if (FNextIndex >= FPageCount) {
        FPump->stop();
        std::lock_guard<std::mutex> g(FLock);
        FNoMorePages = true;
        FWake.notify_all();
    }
}

void TTextSearchJob::Work(unsigned Generation)
{
    for (;;) {
        TItem item;
        {
            std::unique_lock<std::mutex> g(FLock);
            FWake.wait(g, [this] { return FCancel || !FQueue.empty() || FNoMorePages; });
            if (FCancel)
                return;
            if (FQueue.empty()) {
                QMetaObject::invokeMethod(
                    this, [this, Generation] { Deliver(Generation, 0, {}); }, Qt::QueuedConnection);
                return;
            }
            item = std::move(FQueue.front());
            FQueue.pop_front();
        }
        QVector<QRectF> boxes;
        if (item.Data) {
            for (const TEmfTextLine& line : EmfPageLines(*item.Data, true)) {
                for (const auto& [start, length] : FQuery->Find(line.Text)) {
                    QRectF box;
                    for (int i = start; i < start + length && size_t(i) < line.Boxes.size(); ++i)
                        box = box.isNull() ? line.Boxes[size_t(i)] : box.united(line.Boxes[size_t(i)]);
                    boxes.append(box);
                }
                if (FCancel)
                    return;
            }
        }
        QMetaObject::invokeMethod(
            this, [this, Generation, page = item.Page, boxes] { Deliver(Generation, page, boxes); },
            Qt::QueuedConnection);
    }
}

// On the GUI thread. Page 0: the worker has finished.
void TTextSearchJob::Deliver(unsigned Generation, int Page, QVector<QRectF> Boxes)
{
    if (Generation != FGeneration)
        return;
    if (Page == 0) {
        if (FWorker.joinable())
            FWorker.join();
        FRunning = false;
        emit Finished();
        return;
    }
    ++FDone;
    if (!Boxes.isEmpty())
        emit PageHits(Page, Boxes);
    emit Progress(FDone, FPageCount);
}
