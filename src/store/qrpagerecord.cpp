// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and appending one page record: the page's EMF, plain or coded,
// and for extended records the hyperlink block behind it.
#include "platform/errors.h"
#include "store/limitedstream.h"
#include "store/qrcompress.h"
#include "store/qrdamagedreport.h"
#include "store/qrpagelist.h"
#include "store/utf16.h"

#include <algorithm>
#include <limits>

namespace {

class TPageGuard {
public:
    TPageGuard(std::recursive_mutex& ListLock, TQRStream& Stream) : FList(ListLock), FStream(Stream)
    {
        FList.lock();
        FStream.LockStream();
    }
    ~TPageGuard()
    {
        FStream.UnlockStream();
        FList.unlock();
    }

private:
    std::recursive_mutex& FList;
    TQRStream& FStream;
};

std::vector<THyperlink> ReadHyperlinks(TStream& Data, int32_t Count)
{
    std::vector<THyperlink> links;
    for (int32_t i = 0; i < Count; ++i) {
        EmfRect area;
        area.Left = Data.ReadInt32();
        area.Top = Data.ReadInt32();
        area.Right = Data.ReadInt32();
        area.Bottom = Data.ReadInt32();
        const int32_t length = Data.ReadInt32();
        if (length < 0 || length > Data.Size() - Data.Position())
            throw EReadError("a hyperlink's text runs past the end of its record");
        std::vector<uint8_t> text(static_cast<size_t>(length));
        Data.ReadBuffer(text.data(), length);
        links.emplace_back(area, Utf16LEToUtf8(text.data(), text.size()));
    }
    return links;
}

// A compressed page's claimed length is a limit, never an allocation. The
// header comes first and is checked at once, so code that is noise ends
// after 108 bytes; then the buffer grows with what the coder gives (each
// step at most doubling it) up to the header's size, and the bytes behind
// it go through a small block, so that the code is still checked to its
// end. With Body false only the header's bytes are kept.
std::vector<uint8_t> ExpandPage(TStream& Code, int32_t Length, bool Body)
{
    constexpr size_t Block = 64 * 1024;
    const auto length = static_cast<size_t>(Length);
    TQRCompress expander(Code, false);
    std::vector<uint8_t> bytes(std::min<size_t>(length, EmfHeaderBytes));
    expander.ExpandBytes(bytes.data(), bytes.size());
    const EmfHeader header = TMetafile::CheckHeader(bytes.data(), Length);
    const size_t keep = Body ? header.nBytes : bytes.size();
    for (size_t done = bytes.size(); done < keep;) {
        const size_t block = std::min(keep - done, std::max(Block, done));
        bytes.reserve(done + block);
        bytes.resize(done + block);
        expander.ExpandBytes(bytes.data() + done, block);
        done += block;
    }
    std::vector<uint8_t> rest(std::min(length - keep, Block));
    for (size_t done = keep; done < length;) {
        const size_t block = std::min(length - done, rest.size());
        expander.ExpandBytes(rest.data(), block);
        done += block;
    }
    expander.Finish();
    return bytes;
}

} // namespace

bool TQRPageList::GetPageHeader(int32_t PageNumber, EmfHeader& Header)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (PageNumber > FPageCount || PageNumber < 1)
        return false;
    CheckStream();
    TPageGuard guard(FLock, *FStream);
    try {
        Header = ReadPageHeader(GotoPage(PageNumber));
    } catch (...) {
        ForgetPosition();
        throw;
    }
    return true;
}

std::unique_ptr<TMetafile> TQRPageList::GetPage(int32_t PageNumber)
{
    // The count grows under this lock while a generator thread appends.
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (PageNumber > FPageCount || PageNumber < 1)
        return nullptr;
    CheckStream();
    TPageGuard guard(FLock, *FStream);
    try {
        return ReadPageData(GotoPage(PageNumber), nullptr);
    } catch (...) {
        ForgetPosition();
        throw;
    }
}

void TQRPageList::GetPageEx(int32_t PageNumber, std::unique_ptr<TMetafile>& AMetafile,
                            std::unique_ptr<std::vector<THyperlink>>& AHyperlinks)
{
    AMetafile.reset();
    AHyperlinks.reset();
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (PageNumber > FPageCount || PageNumber < 1)
        return;
    CheckStream();
    TPageGuard guard(FLock, *FStream);
    try {
        AMetafile = ReadPageData(GotoPage(PageNumber), &AHyperlinks);
    } catch (...) {
        ForgetPosition();
        throw;
    }
}

void TQRPageList::ForgetPosition()
{
    // A damaged record leaves the position anywhere; the next page is then
    // found from the end of the chain, so intact pages stay readable.
    FStream->SetPosition(DataEnd());
}

int32_t TQRPageList::ReadExpandedLength(TStream& Data, const std::string& Page) const
{
    const int32_t length = Data.ReadInt32();
    const int64_t coded = int64_t(Data.Size()) - 4;
    // No code is shorter than one bit, so a byte yields 8 at most.
    if (length < 0 || int64_t(length) > coded * 8)
        Damaged(Page + "its expanded length of " + std::to_string(length) + " bytes cannot come from " +
                std::to_string(coded) + " coded bytes");
    return length;
}

void TQRPageList::CheckBackPointer(const TRecord& Record, const std::string& Page)
{
    FStream->SetPosition(Record.Next - 4);
    if (FStream->ReadInt32() != Record.Start)
        Damaged(Page + "its back pointer does not lead to the start of its record");
    FStream->SetPosition(Record.Next);
}

EmfHeader TQRPageList::ReadPageHeader(const TRecord& Record)
{
    const std::string page = "page " + std::to_string(Record.Number) + ": ";
    TLimitedStream data(*FStream, Record.Start + 8, Record.Next - 4 - (Record.Start + 8));
    EmfHeader header;
    try {
        if (FCompression) {
            const int32_t length = ReadExpandedLength(data, page);
            header = TMetafile::CheckHeader(ExpandPage(data, length, false).data(), length);
        } else {
            // The header only: info on a large report reads a few hundred
            // bytes a page, not its drawing.
            uint8_t head[EmfHeaderBytes] = {};
            const int32_t got = data.Read(head, EmfHeaderBytes);
            header = TMetafile::CheckHeader(head, got < EmfHeaderBytes ? got : data.Size());
        }
    } catch (const EQRDamagedReport&) {
        throw;
    } catch (const Exception& e) {
        Damaged(page + e.what());
    }
    CheckBackPointer(Record, page);
    return header;
}

std::unique_ptr<TMetafile> TQRPageList::ReadPageData(const TRecord& Record,
                                                     std::unique_ptr<std::vector<THyperlink>>* AHyperlinks)
{
    const std::string page = "page " + std::to_string(Record.Number) + ": ";
    const int32_t backPointer = Record.Next - 4;
    TLimitedStream data(*FStream, Record.Start + 8, backPointer - (Record.Start + 8));
    auto metafile = std::make_unique<TMetafile>();
    try {
        if (FCompression) {
            metafile->LoadFromBytes(ExpandPage(data, ReadExpandedLength(data, page), true));
        } else {
            metafile->LoadFromStream(data);
            if (AHyperlinks) {
                const int32_t count = data.ReadInt32();
                // Each hyperlink takes 20 bytes before its text.
                if (count > (data.Size() - data.Position()) / 20)
                    throw EReadError("its record cannot hold " + std::to_string(count) + " hyperlinks");
                if (count > 0)
                    *AHyperlinks = std::make_unique<std::vector<THyperlink>>(ReadHyperlinks(data, count));
            }
        }
    } catch (const EQRDamagedReport&) {
        throw;
    } catch (const Exception& e) {
        Damaged(page + e.what());
    }
    CheckBackPointer(Record, page);
    return metafile;
}

void TQRPageList::AddPage(const TMetafile& aMetafile)
{
    AppendRecord(aMetafile, nullptr, false);
}

void TQRPageList::AddPageEx(const TMetafile& aMetafile, const std::vector<THyperlink>* AHyperlinks)
{
    AppendRecord(aMetafile, AHyperlinks, true);
}

void TQRPageList::AppendRecord(const TMetafile& aMetafile, const std::vector<THyperlink>* AHyperlinks, bool Extended)
{
    CheckStream();
    if (aMetafile.Empty())
        throw EInvalidGraphic("An empty metafile cannot be stored as a page");
    TPageGuard guard(FLock, *FStream);

    // The whole page data first, so that a page too large for the format is
    // refused before anything is written.
    TMemoryStream body;
    if (FCompression) {
        const std::vector<uint8_t>& emf = aMetafile.Data();
        body.WriteInt32(static_cast<int32_t>(emf.size()));
        TQRCompress compressor(body, true);
        compressor.CompressBytes(emf.data(), emf.size());
        compressor.Finish();
    } else {
        aMetafile.SaveToStream(body);
        if (Extended) {
            const int32_t count = AHyperlinks ? static_cast<int32_t>(AHyperlinks->size()) : 0;
            body.WriteInt32(count);
            for (int32_t i = 0; i < count; ++i) {
                const THyperlink& link = (*AHyperlinks)[static_cast<size_t>(i)];
                for (int32_t v : {link.Area.Left, link.Area.Top, link.Area.Right, link.Area.Bottom})
                    body.WriteInt32(v);
                // The length field counts the bytes that follow, which readers
                // take as that many bytes and half as many UTF-16 units; all
                // the units are written, so no link loses its second half.
                const std::vector<uint8_t> text = Utf8ToUtf16LE(link.Link);
                body.WriteInt32(static_cast<int32_t>(text.size()));
                body.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
            }
        }
    }

    const int32_t previousCount = FPageCount;
    try {
        ++FPageCount;
        if (FPageCount == 1)
            WriteFileHeader();
        const int32_t start = FStream->Size();
        if (int64_t(start) + 8 + body.Size() + 4 > std::numeric_limits<int32_t>::max())
            throw EWriteError("The report would grow past the 2 GiB a report file can address");
        FStream->SetPosition(start);
        FStream->WriteInt32(FPageCount);
        const int32_t nextField = start + 4;
        FStream->WriteInt32(nextField);
        FStream->WriteBuffer(body.Memory(), body.Size());
        FStream->WriteInt32(start);
        const int32_t end = FStream->Position();
        FStream->SetPosition(nextField);
        FStream->WriteInt32(end);
        FStream->SetPosition(end);
        FDataEnd = -1;
    } catch (...) {
        FPageCount = previousCount;
        throw;
    }
}
