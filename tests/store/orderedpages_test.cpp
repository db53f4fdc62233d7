// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/orderedpages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// A reader that notices being used by two threads at once or going back.
struct TReader {
    std::atomic<bool> Busy{false};
    int Last = 0;
    std::atomic<int>* InFlight = nullptr;
};

struct TRun {
    std::vector<int> Consumed;
    std::vector<std::string> Texts;
    std::string Error;
    int Opened = 0;
    int MostInFlight = 0;
};

// Pages First..Last with page Bad throwing and Consume stopping at StopAt.
TRun RunPages(int First, int Last, int Jobs, int Bad = 0, int StopAt = 0)
{
    TRun run;
    std::atomic<int> opened{0}, inFlight{0};
    auto open = [&] {
        ++opened;
        auto r = std::make_unique<TReader>();
        r->InFlight = &inFlight;
        return r;
    };
    try {
        ForEachPageInOrder<TReader, std::string>(
            First, Last, Jobs, open(), open,
            [&](TReader& R, int N) {
                EXPECT_FALSE(R.Busy.exchange(true)) << "a reader shared between threads";
                EXPECT_GT(N, R.Last) << "a reader sent backwards";
                R.Last = N;
                if (N % 7 == 0)
                    std::this_thread::yield();
                R.Busy = false;
                if (N == Bad)
                    throw std::runtime_error("page " + std::to_string(N) + " is damaged");
                ++inFlight;
                return "text of " + std::to_string(N);
            },
            [&](int N, std::string& Text) {
                run.MostInFlight = std::max(run.MostInFlight, inFlight.load());
                --inFlight;
                run.Consumed.push_back(N);
                run.Texts.push_back(Text);
                return N != StopAt;
            });
    } catch (const std::exception& e) {
        run.Error = e.what();
    }
    run.Opened = opened;
    return run;
}

TEST(OrderedPages, ManyThreadsGiveWhatOneThreadGives)
{
    const TRun serial = RunPages(3, 1000, 1);
    ASSERT_EQ(serial.Consumed.size(), 998u);
    EXPECT_EQ(serial.Consumed.front(), 3);
    EXPECT_EQ(serial.Texts.back(), "text of 1000");
    EXPECT_EQ(serial.Opened, 1) << "the reader given is the one used";
    for (int jobs : {2, 3, 8}) {
        SCOPED_TRACE(jobs);
        const TRun parallel = RunPages(3, 1000, jobs);
        EXPECT_EQ(parallel.Consumed, serial.Consumed);
        EXPECT_EQ(parallel.Texts, serial.Texts);
        EXPECT_LE(parallel.Opened, jobs + 1);
        // Pages wait for the consumer in a bounded window, however many there are.
        EXPECT_LE(parallel.MostInFlight, 24 * jobs);
    }
    EXPECT_TRUE(RunPages(5, 4, 3).Consumed.empty());
    EXPECT_EQ(RunPages(1, 1, 8).Consumed, std::vector<int>{1});
}

TEST(OrderedPages, ADamagedPageStopsTheRunWhereASerialRunStops)
{
    for (int jobs : {1, 2, 4}) {
        SCOPED_TRACE(jobs);
        const TRun damaged = RunPages(1, 500, jobs, 123);
        EXPECT_EQ(damaged.Error, "page 123 is damaged");
        ASSERT_EQ(damaged.Consumed.size(), 122u);
        EXPECT_EQ(damaged.Consumed.back(), 122);
        const TRun stopped = RunPages(1, 500, jobs, 0, 77);
        EXPECT_EQ(stopped.Error, "");
        ASSERT_EQ(stopped.Consumed.size(), 77u);
        EXPECT_EQ(stopped.Consumed.back(), 77);
    }
}

} // namespace
