// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads of a read-only source through one window of up to 64 KiB, so that
// the many small reads of a page walk (8-byte record heads, 108-byte EMF
// headers, 4-byte back pointers) cost few calls of the source. How much a
// miss fetches follows how the last window was used: a reader that went on
// past its end gets a full window, one that took a few bytes and jumped
// (record heads far apart) gets a small one, so walking large pages does
// not read their bodies.
#include "platform/streams.h"

#include <cstdint>
#include <vector>

class TReadCache {
public:
    // Source is not owned; Size is its size, fixed while the cache lives.
    TReadCache(TStream& Source, int32_t Size);

    // Up to Count bytes at Offset; fewer only at the end of the source.
    int32_t ReadAt(int32_t Offset, void* Buffer, int32_t Count);
    int32_t Size() const { return FSize; }

    static constexpr int32_t WindowBytes = 64 * 1024;
    // The least a miss fetches: a record head, a back pointer and an EMF
    // header together.
    static constexpr int32_t SmallFetchBytes = 256;

private:
    int32_t FetchSize(int32_t Offset) const;

    TStream& FSource;
    int32_t FSize;
    std::vector<uint8_t> FWindow;
    int32_t FStart = 0;
    int32_t FLength = 0;
    // End of the bytes taken from the window so far.
    int32_t FUsedEnd = 0;
};
