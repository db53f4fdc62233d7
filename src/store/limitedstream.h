// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only window [Start, Start + Length) of another stream, with its own
// positions from 0: a page record's data can then be read without any
// reader seeing the bytes of the next record.
#include "platform/streams.h"

class TLimitedStream : public TStream {
public:
    TLimitedStream(TStream& Base, int32_t Start, int32_t Length);

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int32_t Seek(int32_t Offset, int Origin) override;

private:
    TStream& FBase;
    int32_t FStart;
    int32_t FLength;
    int32_t FPosition = 0;
};
