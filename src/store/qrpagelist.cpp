// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrpagelist.h"
#include "platform/errors.h"
#include "platform/system.h"
#include "store/qrdamagedreport.h"

#include <algorithm>

TQRPageList::TQRPageList() = default;
TQRPageList::~TQRPageList() = default;

void TQRPageList::Clear()
{
    FPageCount = 0;
}

void TQRPageList::SetStream(std::unique_ptr<TQRStream> Value)
{
    FStream = std::move(Value);
    FHeaderSize = -1;
    FDataEnd = -1;
    FRecordStarts.clear();
    FCursor = TRecord();
}

std::unique_ptr<TQRStream> TQRPageList::TakeStream()
{
    FHeaderSize = -1;
    FDataEnd = -1;
    FRecordStarts.clear();
    FCursor = TRecord();
    return std::move(FStream);
}

void TQRPageList::CheckStream() const
{
    if (!FStream)
        throw Exception("The page list has no report stream");
}

std::string TQRPageList::Name() const
{
    const std::string name = FStream ? FStream->FileName() : std::string();
    return name.empty() ? "(in memory)" : name;
}

void TQRPageList::Damaged(const std::string& What) const
{
    throw EQRDamagedReport(Name(), What);
}

int32_t TQRPageList::HeaderSize()
{
    if (FHeaderSize < 0) {
        CheckStream();
        FHeaderSize = FStream->HeaderSize();
        if (FHeaderSize < 0)
            Damaged("the first page's signature lies inside the file header (header size " +
                    std::to_string(FHeaderSize) + ")");
    }
    return FHeaderSize;
}

void TQRPageList::ReadFileHeader()
{
    FHeaderSize = -1;
    FDataEnd = -1;
    FRecordStarts.clear();
    FCursor = TRecord();
    FStream->SetPosition(0);
    const int32_t size = HeaderSize();
    TQRFileHeaderRecord header{};
    FStream->ReadBuffer(header.data(), std::min<int32_t>(size, QRCurrentHeaderSize));
    FStream->SetPosition(size);
    ConvertHeader(header, size);
    const TQRHeaderFields fields = ReadHeaderFields(header, size);
    if (fields.HasPageCount) {
        if (fields.PageCount < 0)
            Damaged("the header gives a negative page count (" + std::to_string(fields.PageCount) + ")");
        FPageCount = fields.PageCount;
    }
    FCreationTime = fields.HasCreationTime ? fields.CreationTime : 0;
    FCompression = fields.Compression;
    FHeaderKeepsCount = fields.HasPageCount;
    FHeaderMarked = fields.Marked;
}

void TQRPageList::WriteFileHeader()
{
    const TQRFileHeaderRecord header = MakeFileHeader(FPageCount, Now(), FCompression);
    FStream->SetPosition(0);
    FStream->WriteBuffer(header.data(), static_cast<int32_t>(header.size()));
}

void TQRPageList::LoadFromFile(const std::string& Filename)
{
    SetStream(nullptr);
    LoadInPlace(TQRStream::CreateFromFile(Filename));
}

void TQRPageList::LoadInPlace(std::unique_ptr<TQRStream> Stream)
{
    SetStream(std::move(Stream));
    try {
        ReadFileHeader();
        CheckFirstRecord();
    } catch (...) {
        // A file that cannot be read is not kept open behind the caller.
        SetStream(nullptr);
        FPageCount = 0;
        throw;
    }
}

void TQRPageList::LoadFromStream(TMemoryStream& inStream)
{
    FStream.reset();
    FStream = TQRStream::CreateFromMemory(inStream.Bytes());
    try {
        ReadFileHeader();
        CheckFirstRecord();
    } catch (...) {
        SetStream(nullptr);
        FPageCount = 0;
        throw;
    }
}

void TQRPageList::SaveToFile(const std::string& Filename)
{
    CheckStream();
    SaveFileReplacing(Filename, [this](TStream& f) { FStream->SaveToStream(f); });
}

void TQRPageList::MoveToFile(const std::string& Filename)
{
    CheckStream();
    if (!FStream->MoveToFile(Filename))
        SaveToFile(Filename);
    SetStream(nullptr);
}

void TQRPageList::SaveToStream(TStream& inStream)
{
    CheckStream();
    FStream->SaveToStream(inStream);
}

void TQRPageList::Finish()
{
    CheckStream();
    WriteFileHeader();
}

void TQRPageList::AddOutline(int, const std::string&, const EmfRect&, int) {}
