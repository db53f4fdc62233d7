// SPDX-License-Identifier: GPL-3.0-or-later
// A page record's data is read through a window of the report's stream; no
// position, count or window a damaged file can give may let a reader see
// bytes outside it.
#include "platform/errors.h"
#include "store/limitedstream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Bytes 0, 1, 2, ... Count - 1.
TMemoryStream Counting(int Count)
{
    TMemoryStream s;
    Bytes b;
    for (int i = 0; i < Count; ++i)
        b.push_back(uint8_t(i));
    s.SetBytes(b);
    return s;
}

Bytes ReadUpTo(TStream& S, int32_t Count)
{
    Bytes b(size_t(std::max(Count, 0)), 0xEE);
    const int32_t got = S.Read(b.data(), Count);
    b.resize(size_t(std::max(got, 0)));
    return b;
}

Bytes Range(int From, int To)
{
    Bytes b;
    for (int i = From; i < To; ++i)
        b.push_back(uint8_t(i));
    return b;
}

} // namespace

TEST(LimitedStream, ReadsItsWindowFromZeroAndStopsAtItsEnd)
{
    TMemoryStream base = Counting(100);
    TLimitedStream w(base, 10, 20);
    EXPECT_EQ(w.Size(), 20);
    EXPECT_EQ(w.Position(), 0);
    EXPECT_EQ(ReadUpTo(w, 5), Range(10, 15));
    EXPECT_EQ(w.Position(), 5);
    EXPECT_EQ(ReadUpTo(w, 100), Range(15, 30)); // past the window: only what is left
    EXPECT_EQ(w.Position(), 20);
    EXPECT_TRUE(ReadUpTo(w, 1).empty());
    EXPECT_TRUE(ReadUpTo(w, -1).empty());
    w.SetPosition(18);
    uint8_t four[4];
    EXPECT_THROW(w.ReadBuffer(four, 4), EReadError);
}

TEST(LimitedStream, ReadsTheWindowWhereverTheBaseWasLeft)
{
    TMemoryStream base = Counting(100);
    TLimitedStream w(base, 40, 10);
    EXPECT_EQ(ReadUpTo(w, 3), Range(40, 43));
    base.SetPosition(0);
    EXPECT_EQ(ReadUpTo(w, 3), Range(43, 46));
    base.SetPosition(99);
    EXPECT_EQ(ReadUpTo(w, 3), Range(46, 49));
}

TEST(LimitedStream, SeeksOutsideTheWindowAreRefused)
{
    TMemoryStream base = Counting(100);
    TLimitedStream w(base, 10, 20);
    EXPECT_EQ(w.Seek(7, soFromBeginning), 7);
    EXPECT_EQ(w.Seek(-1, soFromBeginning), 7);
    EXPECT_EQ(w.Seek(21, soFromBeginning), 7);
    EXPECT_EQ(w.Seek(14, soFromCurrent), 7);
    EXPECT_EQ(w.Seek(-8, soFromCurrent), 7);
    EXPECT_EQ(w.Seek(1, soFromEnd), 7);
    EXPECT_EQ(w.Seek(-21, soFromEnd), 7);
    EXPECT_EQ(w.Seek(std::numeric_limits<int32_t>::max(), soFromCurrent), 7);
    EXPECT_EQ(w.Seek(std::numeric_limits<int32_t>::min(), soFromEnd), 7);
    EXPECT_EQ(ReadUpTo(w, 2), Range(17, 19)); // a refused seek leaves the position
    EXPECT_EQ(w.Seek(0, soFromEnd), 20);
    EXPECT_TRUE(ReadUpTo(w, 1).empty());
    EXPECT_EQ(w.Seek(-20, soFromEnd), 0);
    EXPECT_EQ(ReadUpTo(w, 1), Range(10, 11));
}

TEST(LimitedStream, WindowPastTheEndOfTheBaseReadsWhatThereIs)
{
    TMemoryStream base = Counting(100);
    TLimitedStream partly(base, 90, 20);
    EXPECT_EQ(partly.Size(), 20);
    EXPECT_EQ(ReadUpTo(partly, 20), Range(90, 100));
    EXPECT_EQ(partly.Position(), 10);
    EXPECT_TRUE(ReadUpTo(partly, 20).empty());

    TLimitedStream beyond(base, 200, 10);
    EXPECT_TRUE(ReadUpTo(beyond, 10).empty());
    EXPECT_EQ(beyond.Position(), 0);
    uint8_t one;
    EXPECT_THROW(beyond.ReadBuffer(&one, 1), EReadError);
}

TEST(LimitedStream, WindowsADamagedFileCanDescribeReadNothingOutside)
{
    TMemoryStream base = Counting(100);
    base.SetPosition(50);
    {
        SCOPED_TRACE("starts before the base");
        TLimitedStream w(base, -4, 8);
        EXPECT_TRUE(ReadUpTo(w, 8).empty());
    }
    {
        SCOPED_TRACE("negative length");
        TLimitedStream w(base, 10, -5);
        EXPECT_EQ(w.Size(), 0);
        EXPECT_TRUE(ReadUpTo(w, 8).empty());
    }
    {
        SCOPED_TRACE("ends past the largest position");
        const int32_t max = std::numeric_limits<int32_t>::max();
        TLimitedStream w(base, max - 2, 10);
        EXPECT_EQ(w.Seek(5, soFromBeginning), 5);
        EXPECT_TRUE(ReadUpTo(w, 4).empty());
    }
}

TEST(LimitedStream, WritesNothing)
{
    TMemoryStream base = Counting(100);
    TLimitedStream w(base, 10, 20);
    const uint8_t data[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(w.Write(data, 4), 0);
    EXPECT_THROW(w.WriteBuffer(data, 4), EWriteError);
    EXPECT_EQ(base.Bytes(), Range(0, 100));
    EXPECT_EQ(w.Position(), 0);
}
