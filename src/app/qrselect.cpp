// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qrselect.h"

#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"
#include "store/qrstream.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace {

// Pages go to memory up to this size and to the stream's own temporary
// file beyond, so that splicing a long report needs little memory.
constexpr int32_t SpliceMemoryLimit = 100000;
constexpr int PageCountOffset = 8;

using TPageSelector = std::function<bool(int)>;

std::string LocalFileName(const QString& Name)
{
    return Name.toLocal8Bit().toStdString();
}

// The header keeps the count the first AddPage wrote (1); the creation time
// and compression flag of that write stay.
void UpdatePageCount(TQRPageList& D)
{
    TQRStream& stream = *D.Stream();
    stream.LockStream();
    try {
        TQRFileHeaderRecord header{};
        stream.SetPosition(0);
        stream.ReadBuffer(header.data(), static_cast<int32_t>(header.size()));
        const int32_t count = D.PageCount();
        for (int i = 0; i < 4; ++i)
            header[PageCountOffset + i] = static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i));
        stream.SetPosition(0);
        stream.WriteBuffer(header.data(), static_cast<int32_t>(header.size()));
    } catch (...) {
        stream.UnlockStream();
        throw;
    }
    stream.UnlockStream();
}

void Splice(const QStringList& Sources, const QString& Dest, const TPageSelector& Selected)
{
    TQRPageList D;
    D.SetStream(std::make_unique<TQRStream>(SpliceMemoryLimit));
    TQRPageList S;
    for (const QString& source : Sources) {
        S.Clear();
        LoadReportFile(S, LocalFileName(source));
        const int32_t count = S.PageCount();
        for (int32_t p = 1; p <= count; ++p) {
            if (!Selected(p))
                continue;
            std::unique_ptr<TMetafile> page = S.GetPage(p);
            if (page)
                D.AddPage(*page);
        }
    }
    if (D.PageCount() > 0)
        UpdatePageCount(D);
    else
        D.Finish(); // a well-formed report of no pages, not 128 zero bytes
    D.MoveToFile(LocalFileName(Dest));
}

} // namespace

int MergeReportFiles(const QString& Dest, const QStringList* Files)
{
    int result = 0;
    if (Dest.isEmpty())
        result = -1;
    if (!Files)
        result = -2;
    else if (Files->isEmpty())
        result = -3;
    if (result != 0)
        return result;
    Splice(*Files, Dest, [](int) { return true; });
    return 0;
}

bool ExtractPageRange(const QString& Source, const QString& Dest, int First, int Last)
{
    Splice(QStringList{Source}, Dest, [First, Last](int p) { return First == 0 || (First <= p && p <= Last); });
    return true;
}

int PagesInRange(int PageCount, int First, int Last)
{
    if (PageCount <= 0)
        return 0;
    if (First == 0)
        return PageCount;
    const int from = std::max(First, 1);
    const int to = std::min(Last, PageCount);
    return to < from ? 0 : to - from + 1;
}

QString NewTempFileName()
{
    return QString::fromLocal8Bit(TempReportFileName().c_str());
}
