// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrfileheader.h"

#include "platform/littleendian.h"
#include <cstring>
#include <fstream>

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
    // Every byte not set below is zero: padding and reserved fields.
    TQRFileHeaderRecord h{};
    // Two 16-bit words, 3 and 50, that every writer of the format puts
    // first. No reader checks them; they only tell a report that has no
    // pages yet from other data (TQRHeaderFields::Marked).
    PutLE16(&h[0], 3);
    PutLE16(&h[2], 50);
    PutLE32(&h[8], static_cast<uint32_t>(PageCount));
    // The creation time as the bits of a little-endian IEEE-754 double.
    uint64_t bits;
    static_assert(sizeof bits == sizeof CreationTime, "an IEEE-754 double");
    std::memcpy(&bits, &CreationTime, 8);
    PutLE64(&h[16], bits);
    h[25] = Compression ? 1 : 0;
    // Filler of 100 letters 'H' at 26..125, as other writers of the format
    // leave it (byte 126 stays 0); readers skip it.
    std::memset(&h[26], 'H', 100);
    return h;
}

TQRHeaderFields ReadHeaderFields(const TQRFileHeaderRecord& Header, int32_t HeaderSize)
{
    TQRHeaderFields f;
    if (HeaderSize == 128) {
        f.HasPageCount = true;
        f.PageCount = static_cast<int32_t>(GetLE32(&Header[8]));
    } else if (HeaderSize == 120) {
        f.HasPageCount = true;
        f.PageCount = 1;
    }
    if (HeaderSize == 128 || HeaderSize == 124) {
        const uint64_t bits = GetLE64(&Header[16]);
        f.HasCreationTime = true;
        std::memcpy(&f.CreationTime, &bits, 8);
    }
    f.Compression = Header[25] == 1;
    f.Marked = Header[0] == 3 && Header[1] == 0 && Header[2] == 50 && Header[3] == 0;
    return f;
}

std::string ShortReportReason(const std::string& Name)
{
    // Such a report is its 128-byte header alone, saying 0 pages.
    TQRFileHeaderRecord header{};
    std::ifstream file(Name, std::ios::binary);
    file.read(reinterpret_cast<char*>(header.data()), header.size());
    const TQRHeaderFields fields = ReadHeaderFields(header, QRCurrentHeaderSize);
    const bool empty = file.gcount() == QRCurrentHeaderSize && file.peek() == std::char_traits<char>::eof() &&
                       fields.Marked && fields.PageCount == 0;
    return empty ? "the report holds no pages"
                 : "the file ends before all of its data could be read: it is damaged or cut short";
}
