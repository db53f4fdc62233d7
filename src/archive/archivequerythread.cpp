// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archivequerythread.h"

TArchiveQueryThread::TArchiveQueryThread(std::string DbFile, std::function<void(TResult)> Done)
    : FDbFile(std::move(DbFile)), FDone(std::move(Done)), FThread([this] { Loop(); })
{
}

TArchiveQueryThread::~TArchiveQueryThread()
{
    {
        std::lock_guard<std::mutex> g(FLock);
        FQuit = true;
    }
    Cancel();
    FWake.notify_all();
    FThread.join();
}

uint64_t TArchiveQueryThread::Start(const QString& Text, unsigned Fold, int Limit)
{
    std::lock_guard<std::mutex> g(FLock);
    const uint64_t ticket = ++FLatest;
    if (FIndex)
        FIndex->Interrupt();
    FPending = TRequest{ticket, Text, Fold, Limit};
    FWake.notify_all();
    return ticket;
}

void TArchiveQueryThread::Cancel()
{
    std::lock_guard<std::mutex> g(FLock);
    ++FLatest;
    FPending.reset();
    if (FIndex)
        FIndex->Interrupt();
}

void TArchiveQueryThread::Loop()
{
    // Opened on the first query and kept: a read-only connection sees each
    // update as it is committed.
    std::unique_ptr<TArchiveIndex> index;
    for (;;) {
        TRequest request;
        {
            std::unique_lock<std::mutex> g(FLock);
            FWake.wait(g, [&] { return FQuit || FPending; });
            if (FQuit)
                break;
            request = std::move(*FPending);
            FPending.reset();
        }
        TResult result;
        result.Ticket = request.Ticket;
        const auto cancelled = [&] { return FLatest != request.Ticket; };
        try {
            // Not kept when it fails: the file may be made or mended before the next query.
            if (!index) {
                result.DatabaseError = true;
                auto opened = std::make_unique<TArchiveIndex>(FDbFile, TArchiveIndex::ReadOnly);
                result.DatabaseError = false;
                std::lock_guard<std::mutex> g(FLock);
                FIndex = opened.get();
                index = std::move(opened);
            }
            result.Hits = index->Query(request.Text, request.Fold, request.Limit, cancelled);
        } catch (const EArchiveQueryCancelled&) {
            continue;
        } catch (const EArchiveIndex&) {
            result.Error = std::current_exception();
        }
        if (!cancelled())
            FDone(std::move(result));
    }
    std::lock_guard<std::mutex> g(FLock);
    FIndex = nullptr;
}
