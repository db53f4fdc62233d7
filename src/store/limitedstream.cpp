// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/limitedstream.h"

#include <algorithm>
#include <limits>

TLimitedStream::TLimitedStream(TStream& Base, int32_t Start, int32_t Length)
    : FBase(Base), FStart(Start), FLength(std::max<int32_t>(Length, 0))
{
}

int32_t TLimitedStream::Read(void* Buffer, int32_t Count)
{
    const int32_t n = std::min<int32_t>(std::max<int32_t>(Count, 0), FLength - FPosition);
    if (n <= 0)
        return 0;
    // A window a damaged record describes may start before the base or end
    // past the largest position; where the base cannot go, there is nothing.
    const int64_t at = int64_t(FStart) + FPosition;
    if (at < 0 || at > std::numeric_limits<int32_t>::max() ||
        FBase.Seek(static_cast<int32_t>(at), soFromBeginning) != at)
        return 0;
    const int32_t got = FBase.Read(Buffer, n);
    FPosition += std::max<int32_t>(got, 0);
    return got;
}

int32_t TLimitedStream::Write(const void*, int32_t)
{
    return 0;
}

int32_t TLimitedStream::Seek(int32_t Offset, int Origin)
{
    int64_t base = 0;
    if (Origin == soFromCurrent)
        base = FPosition;
    else if (Origin == soFromEnd)
        base = FLength;
    const int64_t pos = base + Offset;
    if (pos >= 0 && pos <= FLength)
        FPosition = static_cast<int32_t>(pos);
    return FPosition;
}
