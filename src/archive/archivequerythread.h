// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Queries of an archive index on a thread of their own, for a window that
// must never wait for one: a new query cancels the one running, and only
// the newest query's result is handed back. The database can be changed
// without waiting for a connection that hangs: the thread moves on to the
// new one when it is free.
#include "archive/archiveindex.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TArchiveQueryThread {
public:
    struct TResult {
        uint64_t Ticket = 0;
        std::vector<TIndexHit> Hits;
        std::exception_ptr Error;   // an EArchiveIndex: the query, or the database
        bool DatabaseError = false; // the database could not be opened
        // Whether this user may change the index, once it is open; asked
        // again on each new connection.
        std::optional<bool> CanWrite;
        bool OpenOnly = false; // the result of Open(): no query ran
    };
    // Done is called on the query thread.
    TArchiveQueryThread(std::string DbFile, std::function<void(TResult)> Done);
    // Cancels the query running and waits for it to stop.
    ~TArchiveQueryThread();
    TArchiveQueryThread(const TArchiveQueryThread&) = delete;
    TArchiveQueryThread& operator=(const TArchiveQueryThread&) = delete;

    // The ticket that the result will carry.
    uint64_t Start(const QString& Text, unsigned Fold, int Limit);
    // Opens the database if it is not open and reports CanWrite, without a query.
    uint64_t Open();
    // Later requests go to Db; what runs or waits gives no result.
    void SetDatabase(std::string Db);
    // The query running or waiting gives no result.
    void Cancel();

private:
    struct TRequest {
        uint64_t Ticket;
        QString Text;
        unsigned Fold;
        int Limit;
        bool OpenOnly;
        std::string Db;
    };
    void Loop();

    std::string FDbFile; // under FLock
    const std::function<void(TResult)> FDone;
    std::mutex FLock;
    std::condition_variable FWake;
    std::optional<TRequest> FPending;
    std::atomic<uint64_t> FLatest{0};
    bool FQuit = false;
    TArchiveIndex* FIndex = nullptr; // while open on the thread, for Cancel
    std::thread FThread;
};
