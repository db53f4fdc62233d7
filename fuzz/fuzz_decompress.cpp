// SPDX-License-Identifier: GPL-3.0-or-later
// The page decoder on arbitrary coded bytes, and the coder and decoder as a
// pair: whatever is coded must expand to itself.
#include "fuzz_support.h"
#include "platform/errors.h"
#include "platform/streams.h"
#include "store/qrcompress.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void ExpandArbitrary(const uint8_t* Data, size_t Size)
{
    TMemoryStream coded;
    coded.WriteBuffer(Data, static_cast<int32_t>(Size));
    coded.SetPosition(0);
    // No code is shorter than one bit; ask for more than that to reach the
    // end-of-data error too.
    std::vector<uint8_t> plain(std::min<size_t>(Size * 8 + 16, 1 << 20));
    try {
        TQRCompress expander(coded, false);
        expander.ExpandBytes(plain.data(), plain.size());
        expander.Finish();
    } catch (const EReadError& e) {
        if (!*e.what())
            FuzzFinding("a read error without a message");
    }
    if (coded.Position() < 0 || coded.Position() > coded.Size())
        FuzzFinding("the decoder left the stream outside its data");
}

void RoundTrip(const uint8_t* Data, size_t Size)
{
    TMemoryStream coded;
    {
        TQRCompress compressor(coded, true);
        compressor.CompressBytes(Data, Size);
        compressor.Finish();
    }
    const int32_t end = coded.Size();
    coded.WriteInt32(0x5A5A5A5A); // what follows a page in a report
    coded.SetPosition(0);
    std::vector<uint8_t> plain(Size);
    TQRCompress expander(coded, false);
    expander.ExpandBytes(plain.data(), plain.size());
    expander.Finish();
    if (Size && std::memcmp(plain.data(), Data, Size) != 0)
        FuzzFinding("coded data did not expand to itself");
    if (coded.Position() != end)
        FuzzFinding("the decoder did not stop right behind the coded data");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    if (Data[0] & 1)
        RoundTrip(Data + 1, Size - 1);
    else
        ExpandArbitrary(Data + 1, Size - 1);
    return 0;
}
