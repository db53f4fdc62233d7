// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrstream.h"
#include "platform/errors.h"
#include "platform/system.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <sys/stat.h>

TQRStream::TQRStream(int32_t pMemoryLimit) : MemoryStream(std::make_unique<TMemoryStream>()), FMemoryLimit(pMemoryLimit)
{
}

std::unique_ptr<TQRStream> TQRStream::CreateFromFile(const std::string& Filename)
{
    auto file = std::make_unique<TFileStream>(Filename, fmOpenRead);
    // Offsets in a report are signed 32-bit: a larger file cannot be walked.
    if (file->Size64() > std::numeric_limits<int32_t>::max())
        throw EFOpenError("Cannot open file \"" + Filename +
                          "\". It is larger than the 2 GiB a report file can address");
    const auto size = static_cast<int32_t>(file->Size64());
    return InPlace(std::move(file), Filename, size);
}

std::unique_ptr<TQRStream> TQRStream::CreateFromSource(std::unique_ptr<TStream> Source, const std::string& Name)
{
    const int32_t size = Source->Size();
    return InPlace(std::move(Source), Name, size);
}

std::unique_ptr<TQRStream> TQRStream::InPlace(std::unique_ptr<TStream> Source, const std::string& Name, int32_t Size)
{
    std::unique_ptr<TQRStream> stream(new TQRStream());
    const int32_t size = Size;
    stream->FSourceCache = std::make_unique<TReadCache>(*Source, size);
    stream->FSource = std::move(Source);
    stream->FSourceName = Name;
    stream->FInMemory = false;
    return stream;
}

std::unique_ptr<TQRStream> TQRStream::CreateFromMemory(std::vector<uint8_t> Data)
{
    if (Data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EWriteError("Report data is larger than the 2 GiB a page stream can hold");
    auto stream = std::make_unique<TQRStream>(static_cast<int32_t>(Data.size()));
    stream->MemoryStream->SetBytes(std::move(Data));
    return stream;
}

TQRStream::~TQRStream()
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    MemoryStream.reset();
    FileStream.reset();
    FSourceCache.reset();
    FSource.reset();
    if (!FFilename.empty() && FileExists(FFilename))
        DeleteFile(FFilename);
}

std::string TQRStream::FileName() const
{
    if (FSource)
        return FSourceName;
    return FileStream ? FileStream->FileName() : std::string();
}

int32_t TQRStream::Read(void* Buffer, int32_t Count)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FSource) {
        const int32_t n = FSourceCache->ReadAt(FSourcePosition, Buffer, Count);
        FSourcePosition += n;
        return n;
    }
    return FInMemory ? MemoryStream->Read(Buffer, Count) : FileStream->Read(Buffer, Count);
}

int32_t TQRStream::Write(const void* Buffer, int32_t Count)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FSource)
        return 0; // the user's file is only read
    if (!FInMemory)
        return FileStream->Write(Buffer, Count);
    const int32_t written = MemoryStream->Write(Buffer, Count);
    if (static_cast<int64_t>(MemoryStream->Bytes().size()) > static_cast<int64_t>(FMemoryLimit))
        Spill();
    return written;
}

void TQRStream::Spill()
{
    FFilename = TempReportFileName();
    try {
        FileStream.reset();
        FileStream = std::make_unique<TFileStream>(FFilename, fmCreate);
        const std::vector<uint8_t>& data = MemoryStream->Bytes();
        FileStream->WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
        FileStream->Seek(MemoryStream->Position(), soFromBeginning);
    } catch (...) {
        // Stay in memory, and leave no half-written file behind.
        FileStream.reset();
        DeleteFile(FFilename);
        FFilename.clear();
        throw;
    }
    MemoryStream.reset();
    FInMemory = false;
}

int32_t TQRStream::Seek(int32_t Offset, int Origin)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FSource) {
        // As a file's: anywhere from 0 on, past the end too.
        int64_t base = 0;
        if (Origin == soFromCurrent)
            base = FSourcePosition;
        else if (Origin == soFromEnd)
            base = FSourceCache->Size();
        const int64_t pos = base + Offset;
        if (pos >= 0)
            FSourcePosition = static_cast<int32_t>(std::min<int64_t>(pos, std::numeric_limits<int32_t>::max()));
        return FSourcePosition;
    }
    return FInMemory ? MemoryStream->Seek(Offset, Origin) : FileStream->Seek(Offset, Origin);
}

void TQRStream::SaveToStream(TStream& AStream)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    SetPosition(0);
    std::vector<uint8_t> buffer(10240);
    for (;;) {
        const int32_t n = Read(buffer.data(), static_cast<int32_t>(buffer.size()));
        if (n <= 0)
            break;
        AStream.WriteBuffer(buffer.data(), n);
    }
}

int32_t TQRStream::HeaderSize()
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    const int32_t pos = Position();
    uint8_t prefix[HeaderScanBytes];
    const int32_t size = Size();
    SetPosition(0);
    const int32_t n = Read(prefix, HeaderScanBytes);
    SetPosition(pos);
    bool signatureFound = false;
    const int32_t result = HeaderSizeOf(prefix, std::max<int32_t>(n, 0), size, &signatureFound);
    if (signatureFound)
        return result;
    const int32_t chainStart = FirstRecordStart(size);
    SetPosition(pos);
    return chainStart >= 0 ? chainStart : result;
}

bool TQRStream::IsFirstRecordAt(int32_t Start, int32_t Size)
{
    if (Start < 0 || int64_t(Start) + 12 > Size)
        return false;
    SetPosition(Start);
    const int32_t number = ReadInt32();
    const int32_t next = ReadInt32();
    if (number != 1 || int64_t(next) < int64_t(Start) + 12 || next > Size)
        return false;
    SetPosition(next - 4);
    return ReadInt32() == Start;
}

int32_t TQRStream::FirstRecordStart(int32_t Size)
{
    // Compressed pages show no signature; the first record, numbered 1 and
    // pointing back to itself, still tells where the header ends.
    for (int32_t candidate : {128, 124, 120, 96})
        if (IsFirstRecordAt(candidate, Size))
            return candidate;
    for (int32_t candidate = 0; candidate <= 1001; ++candidate)
        if (IsFirstRecordAt(candidate, Size))
            return candidate;
    return -1;
}

int32_t HeaderSizeOf(const uint8_t* Prefix, int32_t Count, int32_t StreamSize, bool* SignatureFound)
{
    static const struct {
        int32_t Offset, Size;
    } probes[] = {{173, 124}, {169, 120}, {145, 96}, {177, 128}};
    auto isEmf = [Prefix](int32_t p) { return Prefix[p] == 'E' && Prefix[p + 1] == 'M' && Prefix[p + 2] == 'F'; };
    for (const auto& probe : probes) {
        if (probe.Offset + 3 > Count)
            throw EReadError();
        if (isEmf(probe.Offset)) {
            if (SignatureFound)
                *SignatureFound = true;
            return probe.Size;
        }
    }
    // Count is StreamSize or, for longer streams, HeaderScanBytes, which
    // covers the last bytes the scan looks at.
    for (int32_t p = 0; p <= StreamSize - 4 && p <= 1001 && p + 3 <= Count; ++p)
        if (isEmf(p)) {
            if (SignatureFound)
                *SignatureFound = true;
            return p - 49;
        }
    return 128;
}

std::string TempReportFileName()
{
    return GetTempFileName(GetTempPath(), "QRP");
}

bool TQRStream::MoveToFile(const std::string& Filename)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FInMemory || FFilename.empty() || !FileStream)
        return false;
    // Renamed onto a link's target, so that the link stays.
    const std::string path = SaveTarget(Filename);
    struct stat target;
    mode_t mode;
    if (::stat(path.c_str(), &target) == 0) {
        if (!S_ISREG(target.st_mode))
            return false;
        mode = target.st_mode & 07777;
    } else {
        // A new file gets the permissions a plain create would give it.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::chmod(FFilename.c_str(), mode) != 0 || ::rename(FFilename.c_str(), path.c_str()) != 0)
        return false; // another file system: the caller copies
    FileStream.reset();
    FFilename.clear();
    MemoryStream = std::make_unique<TMemoryStream>();
    FInMemory = true;
    return true;
}
