// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrreportinfo.h"
#include "platform/streams.h"

namespace {

bool HeaderHasPageCount(int32_t HeaderSize)
{
    return HeaderSize == 128 || HeaderSize == 120;
}

void CountWhenMissing(TQRPageList& List)
{
    if (!HeaderHasPageCount(List.HeaderSize()))
        List.SetPageCount(List.CountRecords());
}

} // namespace

void LoadReportFile(TQRPageList& List, const std::string& FileName)
{
    List.LoadFromFile(FileName);
    CountWhenMissing(List);
}

void LoadReportStream(TQRPageList& List, TMemoryStream& Stream)
{
    List.LoadFromStream(Stream);
    try {
        CountWhenMissing(List);
    } catch (...) {
        List.SetStream(nullptr);
        List.SetPageCount(0);
        throw;
    }
}

TQRReportInfo InspectPages(TQRPageList& List)
{
    TQRReportInfo info;
    info.HeaderSize = List.HeaderSize();
    info.PageCountInHeader = HeaderHasPageCount(info.HeaderSize);
    info.PageCount = List.PageCount();
    info.Compression = List.Compression();
    info.CreationTime = List.CreationTime();
    for (int32_t n = 1; n <= List.PageCount(); ++n) {
        EmfHeader header;
        List.GetPageHeader(n, header);
        TQRPageInfo p;
        p.Number = n;
        p.EmfBytes = static_cast<int32_t>(header.nBytes);
        p.Width = EmfWidthPx(header);
        p.Height = EmfHeightPx(header);
        p.MMWidth = EmfWidthMM(header);
        p.MMHeight = EmfHeightMM(header);
        info.Pages.push_back(p);
    }
    // Known once the walk has reached the last record.
    info.TrailingBytes = List.TrailingBytes();
    return info;
}

TQRReportInfo InspectReportFile(const std::string& FileName)
{
    TQRPageList list;
    LoadReportFile(list, FileName);
    return InspectPages(list);
}

TQRReportInfo InspectReportData(std::vector<uint8_t> Data)
{
    TMemoryStream in;
    in.SetBytes(std::move(Data));
    TQRPageList list;
    LoadReportStream(list, in);
    return InspectPages(list);
}
