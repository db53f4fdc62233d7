// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pages read by several threads and handed on in page order: decoding
// (above all of compressed pages) runs on every core while the output stays
// that of a serial run.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Pages First..Last go out in slices to Jobs workers, each with a reader of
// its own from Open (a page list walks its chain from where it stopped, so
// one reader per thread); Opened, when given, serves as the first of them,
// so that a serial run opens the file once. Produce runs on the workers; Consume runs on the
// calling thread, in page order, and returns false to stop. An exception of
// Open or Produce comes out of this call at its page, after every earlier
// page was consumed, as a serial loop would throw it. Only a few slices per
// worker wait to be consumed, so memory does not grow with the page count.
template <class Reader, class Result>
void ForEachPageInOrder(int First, int Last, int Jobs, std::unique_ptr<Reader> Opened,
                        const std::function<std::unique_ptr<Reader>()>& Open,
                        const std::function<Result(Reader&, int)>& Produce,
                        const std::function<bool(int, Result&)>& Consume)
{
    if (Last < First)
        return;
    std::mutex openLock;
    const auto open = [&] {
        {
            std::lock_guard<std::mutex> g(openLock);
            if (Opened)
                return std::move(Opened);
        }
        return Open();
    };
    const long long pageCount = static_cast<long long>(Last) - First + 1;
    Jobs = static_cast<int>(std::max(1LL, std::min<long long>(Jobs, pageCount)));
    if (Jobs == 1) {
        const std::unique_ptr<Reader> reader = open();
        for (int p = First; p <= Last; ++p) {
            Result r = Produce(*reader, p);
            if (!Consume(p, r))
                return;
            if (p == Last)
                break;
        }
        return;
    }

    constexpr int SliceSize = 8;
    struct TSlice {
        std::vector<std::optional<Result>> Results;
        std::exception_ptr Error; // at page First + Results.size()
        bool Ready = false;
    };
    const long long sliceCount = (pageCount + SliceSize - 1) / SliceSize;
    const long long window = 2LL * Jobs;
    std::vector<TSlice> ring(static_cast<size_t>(window));
    std::mutex lock;
    std::condition_variable changed;
    long long consumed = 0; // slices handed to Consume
    bool stop = false;
    std::atomic<long long> next{0};

    auto work = [&] {
        std::unique_ptr<Reader> reader;
        for (long long k; (k = next++) < sliceCount;) {
            {
                std::unique_lock<std::mutex> g(lock);
                changed.wait(g, [&] { return stop || k < consumed + window; });
                if (stop)
                    return;
            }
            TSlice& slot = ring[static_cast<size_t>(k % window)];
            const int first = First + static_cast<int>(k * SliceSize);
            const int last = static_cast<int>(std::min<long long>(Last, static_cast<long long>(first) + SliceSize - 1));
            try {
                if (!reader)
                    reader = open();
                for (int p = first; p <= last; ++p) {
                    slot.Results.emplace_back(Produce(*reader, p));
                    if (p == last)
                        break;
                }
            } catch (...) {
                slot.Error = std::current_exception();
                // A reader that failed may be left anywhere: the next slice opens anew.
                reader.reset();
            }
            std::lock_guard<std::mutex> g(lock);
            slot.Ready = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int j = 0; j < Jobs; ++j)
        pool.emplace_back(work);
    auto finish = [&] {
        {
            std::lock_guard<std::mutex> g(lock);
            stop = true;
            changed.notify_all();
        }
        for (std::thread& t : pool)
            t.join();
    };

    try {
        for (long long k = 0; k < sliceCount; ++k) {
            TSlice& slot = ring[static_cast<size_t>(k % window)];
            {
                std::unique_lock<std::mutex> g(lock);
                changed.wait(g, [&] { return slot.Ready; });
            }
            const int first = First + static_cast<int>(k * SliceSize);
            for (size_t i = 0; i < slot.Results.size(); ++i)
                if (!Consume(first + static_cast<int>(i), *slot.Results[i])) {
                    finish();
                    return;
                }
            if (slot.Error)
                std::rethrow_exception(slot.Error);
            std::lock_guard<std::mutex> g(lock);
            slot = TSlice();
            ++consumed;
            changed.notify_all();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
