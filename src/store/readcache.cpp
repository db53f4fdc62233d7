// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/readcache.h"

#include <algorithm>
#include <cstring>

TReadCache::TReadCache(TStream& Source, int32_t Size) : FSource(Source), FSize(std::max<int32_t>(Size, 0)) {}

int32_t TReadCache::FetchSize(int32_t Offset) const
{
    // The first read (the header) and a reader going on where the window
    // ends get a full window.
    if (FWindow.empty() || Offset == FStart + FLength)
        return WindowBytes;
    int32_t fetch = SmallFetchBytes;
    while (fetch < WindowBytes && fetch < FUsedEnd - FStart)
        fetch *= 2;
    return fetch;
}

int32_t TReadCache::ReadAt(int32_t Offset, void* Buffer, int32_t Count)
{
    if (Count <= 0 || Offset < 0 || Offset >= FSize)
        return 0;
    Count = std::min<int32_t>(Count, FSize - Offset);
    auto* out = static_cast<uint8_t*>(Buffer);
    int32_t done = 0;
    while (done < Count) {
        const int32_t at = Offset + done;
        const int32_t want = Count - done;
        if (at >= FStart && at < FStart + FLength) {
            const int32_t n = std::min(want, FStart + FLength - at);
            std::memcpy(out + done, FWindow.data() + (at - FStart), static_cast<size_t>(n));
            FUsedEnd = std::max(FUsedEnd, at + n);
            done += n;
            continue;
        }
        const int32_t fetch = std::min(FetchSize(at), FSize - at);
        if (want >= fetch) {
            // A page body: straight into the caller's buffer, and the next
            // read, right behind it, starts a full window.
            const int32_t got = FSource.ReadAt(at, out + done, want);
            if (FWindow.empty())
                FWindow.resize(WindowBytes);
            FStart = at + std::max<int32_t>(got, 0);
            FLength = 0;
            FUsedEnd = FStart;
            if (got <= 0)
                break;
            done += got;
            if (got < want)
                break;
            continue;
        }
        if (FWindow.empty())
            FWindow.resize(WindowBytes);
        const int32_t got = FSource.ReadAt(at, FWindow.data(), fetch);
        FStart = at;
        FLength = std::max<int32_t>(got, 0);
        FUsedEnd = at;
        if (FLength == 0)
            break;
    }
    return done;
}
