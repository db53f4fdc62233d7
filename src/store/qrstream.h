// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte store of one report: in memory up to a limit, then in a temporary
// file of its own; or a user's report file read in place, never written.
#include "platform/streams.h"
#include "store/qrfileheader.h"
#include "store/readcache.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TQRStream : public TStream {
public:
    explicit TQRStream(int32_t pMemoryLimit);
    // Opens FileName read-only; the file is never changed or deleted.
    static std::unique_ptr<TQRStream> CreateFromFile(const std::string& Filename);
    // A report read in place from Source, as CreateFromFile does with a
    // file: read-only, its size fixed at this call, read through a window
    // (see TReadCache) so that small reads cost few reads of Source.
    static std::unique_ptr<TQRStream> CreateFromSource(std::unique_ptr<TStream> Source, const std::string& Name);
    // In memory with Data as its content and its size as the limit, as the
    // page list's LoadFromStream needs.
    static std::unique_ptr<TQRStream> CreateFromMemory(std::vector<uint8_t> Data);
    ~TQRStream() override;
    TQRStream(const TQRStream&) = delete;
    TQRStream& operator=(const TQRStream&) = delete;

    int32_t Read(void* Buffer, int32_t Count) override;
    // May move the data to a temporary file once the size passes the limit.
    int32_t Write(const void* Buffer, int32_t Count) override;
    int32_t Seek(int32_t Offset, int Origin) override;

    // Several operations as one, against other threads.
    void LockStream() { FLock.lock(); }
    void UnlockStream() { FLock.unlock(); }

    // Copies everything, from offset 0, in 10240-byte chunks; the position
    // ends at the end.
    void SaveToStream(TStream& AStream);
    // Moves the stream's own temporary file to Filename (replacing it) when
    // the data lives there, instead of copying it; the stream is then empty
    // and in memory. Returns false, changing nothing, when the data is in
    // memory, in a user's file, or the file cannot be renamed there.
    bool MoveToFile(const std::string& Filename);
    // Length of the report-file header in front of the first page record:
    // where the first page's EMF signature lies, or, when no page shows one
    // (compressed pages), where a record numbered 1 that points back to
    // itself starts, else 128. Throws "Stream read error" for streams
    // shorter than the fixed probes; may be negative for a damaged file.
    // The position is unchanged.
    int32_t HeaderSize();

    bool InMemory() const { return FInMemory; }
    int32_t MemoryLimit() const { return FMemoryLimit; }
    // The user's file for CreateFromFile, the temporary file after a spill,
    // empty while in memory.
    std::string FileName() const;

private:
    TQRStream() = default;
    static std::unique_ptr<TQRStream> InPlace(std::unique_ptr<TStream> Source, const std::string& Name, int32_t Size);
    void Spill();
    int32_t FirstRecordStart(int32_t Size);
    bool IsFirstRecordAt(int32_t Start, int32_t Size);

    std::recursive_mutex FLock;
    std::unique_ptr<TMemoryStream> MemoryStream;
    std::string FFilename;
    std::unique_ptr<TFileStream> FileStream;
    // A report read in place (CreateFromFile, CreateFromSource).
    std::unique_ptr<TStream> FSource;
    std::unique_ptr<TReadCache> FSourceCache;
    std::string FSourceName;
    int32_t FSourcePosition = 0;
    bool FInMemory = true;
    int32_t FMemoryLimit = 0;
};

// The signature probes and scan of HeaderSize over the first bytes of a
// stream: Prefix holds min(StreamSize, HeaderScanBytes) bytes from offset 0.
// 128 when no signature is found.
constexpr int32_t HeaderScanBytes = 1004;
int32_t HeaderSizeOf(const uint8_t* Prefix, int32_t Count, int32_t StreamSize, bool* SignatureFound = nullptr);

// A new, empty, uniquely named "QRP*.TMP" file in the temporary folder.
std::string TempReportFileName();
