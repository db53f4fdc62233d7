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
    FPending = TRequest{ticket, Text, Fold, Limit, false, FDbFile};
    FWake.notify_all();
    return ticket;
}

uint64_t TArchiveQueryThread::Open()
{
    std::lock_guard<std::mutex> g(FLock);
    const uint64_t ticket = ++FLatest;
    FPending = TRequest{ticket, QString(), 0, 0, true, FDbFile};
    FWake.notify_all();
    return ticket;
}

void TArchiveQueryThread::SetDatabase(std::string Db)
{
    std::lock_guard<std::mutex> g(FLock);
    FDbFile = std::move(Db);
    ++FLatest;
    FPending.reset();
    if (FIndex)
        FIndex->Interrupt();
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
    std::string opened;        // the database of index
    std::optional<bool> write; // asked once per connection
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
        result.OpenOnly = request.OpenOnly;
        if (index && opened != request.Db) {
            std::lock_guard<std::mutex> g(FLock);
            FIndex = nullptr;
            index.reset();
        }
        try {
            // Not kept when it fails: the file may be made or mended before the next query.
            if (!index) {
                write.reset();
                result.DatabaseError = true;
                auto made = std::make_unique<TArchiveIndex>(request.Db, TArchiveIndex::ReadOnly);
                result.DatabaseError = false;
                std::lock_guard<std::mutex> g(FLock);
                FIndex = made.get();
                index = std::move(made);
                opened = request.Db;
            }
            if (!write) {
                result.DatabaseError = true;
                write = index->CanWrite();
                result.DatabaseError = false;
            }
            result.CanWrite = write;
            if (!request.OpenOnly)
                result.Hits = index->Query(request.Text, request.Fold, request.Limit, cancelled);
        } catch (const EArchiveQueryCancelled&) {
            continue;
        } catch (const EArchiveIndex&) {
            result.Error = std::current_exception();
            // A server may have gone and come back: the next request connects again.
            if (index && index->OnServer()) {
                std::lock_guard<std::mutex> g(FLock);
                FIndex = nullptr;
                index.reset();
            }
        }
        if (!cancelled())
            FDone(std::move(result));
    }
    std::lock_guard<std::mutex> g(FLock);
    FIndex = nullptr;
}
