#include "store/qrfileheader.h"

#include <cstring>

void ConvertHeader(TQRFileHeaderRecord& Header, int32_t HeaderSize)
{
    if (HeaderSize != 124)
        return;
    const TQRFileHeaderRecord old = Header;
    std::memcpy(&Header[16], &old[12], 8);
    Header[24] = old[20];
    Header[25] = old[21];
    std::memcpy(&Header[26], &old[22], 101);
}

TQRFileHeaderRecord MakeFileHeader(int32_t PageCount, double CreationTime, bool Compression)
{
    TQRFileHeaderRecord h{};
    h[0] = 3;
    h[2] = 50;
    const uint32_t count = static_cast<uint32_t>(PageCount);
    for (int i = 0; i < 4; ++i)
        h[8 + i] = static_cast<uint8_t>(count >> (8 * i));
    uint64_t bits;
    static_assert(sizeof bits == sizeof CreationTime, "an IEEE-754 double");
    std::memcpy(&bits, &CreationTime, 8);
    for (int i = 0; i < 8; ++i)
        h[16 + i] = static_cast<uint8_t>(bits >> (8 * i));
    h[25] = Compression ? 1 : 0;
    std::memset(&h[26], 'H', 100);
    return h;
}

TQRHeaderFields ReadHeaderFields(const TQRFileHeaderRecord& Header, int32_t HeaderSize)
{
    TQRHeaderFields f;
    if (HeaderSize == 128) {
        f.HasPageCount = true;
        f.PageCount = static_cast<int32_t>(uint32_t(Header[8]) | uint32_t(Header[9]) << 8 | uint32_t(Header[10]) << 16 | uint32_t(Header[11]) << 24);
    } else if (HeaderSize == 120) {
        f.HasPageCount = true;
        f.PageCount = 1;
    }
    if (HeaderSize == 128 || HeaderSize == 124) {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= uint64_t(Header[16 + i]) << (8 * i);
        f.HasCreationTime = true;
        std::memcpy(&f.CreationTime, &bits, 8);
    }
    f.Compression = Header[25] == 1;
    f.Marked = Header[0] == 3 && Header[1] == 0 && Header[2] == 50 && Header[3] == 0;
    return f;
}
