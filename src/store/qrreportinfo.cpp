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
    info.TrailingBytes = List.TrailingBytes();
    for (int32_t n = 1; n <= List.PageCount(); ++n) {
        const std::unique_ptr<TMetafile> page = List.GetPage(n);
        TQRPageInfo p;
        p.Number = n;
        p.EmfBytes = static_cast<int32_t>(page->Data().size());
        p.Width = page->Width();
        p.Height = page->Height();
        p.MMWidth = page->MMWidth();
        p.MMHeight = page->MMHeight();
        info.Pages.push_back(p);
    }
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
