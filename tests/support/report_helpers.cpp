// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_helpers.h"

#include "emfpage.h"
#include "platform/metafile.h"
#include "platform/streams.h"
#include "store/qrcompress.h"
#include "store/qrpagelist.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

int32_t GetI32(const Bytes& Data, size_t Offset)
{
    return static_cast<int32_t>(Get32(Data, Offset));
}

void PutI32(Bytes& Data, size_t Offset, int32_t Value)
{
    Set32(Data, Offset, static_cast<uint32_t>(Value));
}

Bytes MakeEmf(uint32_t Size, uint8_t Seed)
{
    if (Size % 4 || (Size != 128 && Size < 140))
        throw std::invalid_argument("EMF size must be 128, or a multiple of 4 from 140");
    TEmfPageBuilder page;
    page.Frame(0, 0, 20999, 29699).Device(1024, 768).Millimeters(320, 240); // 210 x 297 mm
    if (Size > 128) {
        Bytes fill(Size - 128 - 12);
        for (size_t i = 0; i < fill.size(); ++i)
            fill[i] = static_cast<uint8_t>((120 + i) * 7 + Seed);
        page.Comment(fill);
    }
    return page.Bytes();
}

Bytes EmfPageBytes(int Width, int Height)
{
    return TEmfPageBuilder().MillimetrePixels(Width, Height).Handles(1).Bytes();
}

void WriteReport(const std::string& FileName, const std::vector<std::pair<int, int>>& PageSizes)
{
    TQRPageList list;
    list.SetStream(std::make_unique<TQRStream>(1 << 20));
    for (const auto& size : PageSizes) {
        TMetafile page;
        page.LoadFromBytes(EmfPageBytes(size.first, size.second));
        list.AddPage(page);
    }
    list.Finish();
    list.SaveToFile(FileName);
}

Bytes ReadFileBytes(const std::string& FileName)
{
    std::ifstream f(FileName, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot read " + FileName);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteFileBytes(const std::string& FileName, const Bytes& Data)
{
    std::ofstream f(FileName, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
    if (!f)
        throw std::runtime_error("cannot write " + FileName);
}

Bytes MakeReport(int32_t HeaderSize, const std::vector<Bytes>& Pages, bool Compressed, int32_t HeaderPageCount)
{
    const int32_t count = HeaderPageCount >= 0 ? HeaderPageCount : static_cast<int32_t>(Pages.size());
    Bytes r(static_cast<size_t>(std::max(HeaderSize, 128)), 0);
    r[0] = 3;
    r[2] = 50;
    PutI32(r, 8, count);
    const double created = 45000.5;
    if (HeaderSize == 124) {
        std::memcpy(&r[12], &created, 8);
        r[21] = Compressed;
        std::memset(&r[22], 'H', 100);
    } else {
        if (HeaderSize == 128)
            std::memcpy(&r[16], &created, 8);
        r[25] = Compressed;
        std::memset(&r[26], 'H', 100);
    }
    r.resize(static_cast<size_t>(HeaderSize));
    int32_t number = 0;
    for (const Bytes& page : Pages) {
        Bytes data;
        if (Compressed) {
            TMemoryStream coded;
            coded.WriteInt32(static_cast<int32_t>(page.size()));
            TQRCompress c(coded, true);
            c.CompressBytes(page.data(), page.size());
            c.Finish();
            data = coded.Bytes();
        } else {
            data = page;
        }
        const int32_t start = static_cast<int32_t>(r.size());
        r.resize(r.size() + 8 + data.size() + 4);
        PutI32(r, static_cast<size_t>(start), ++number);
        PutI32(r, static_cast<size_t>(start) + 4, static_cast<int32_t>(r.size()));
        std::memcpy(&r[static_cast<size_t>(start) + 8], data.data(), data.size());
        PutI32(r, r.size() - 4, start);
    }
    return r;
}

void AppendPageRecord(Bytes& Report, int32_t Number, const Bytes& Data)
{
    const auto start = static_cast<int32_t>(Report.size());
    Report.resize(Report.size() + 12 + Data.size());
    PutI32(Report, size_t(start), Number);
    PutI32(Report, size_t(start) + 4, static_cast<int32_t>(Report.size()));
    if (!Data.empty())
        std::memcpy(&Report[size_t(start) + 8], Data.data(), Data.size());
    PutI32(Report, Report.size() - 4, start);
}
