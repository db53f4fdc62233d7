// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte streams with the framework's interface: signed 32-bit positions and
// sizes, Read returning what it got, ReadBuffer raising "Stream read error".
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum TSeekOrigin : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream {
public:
    virtual ~TStream() = default;
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    virtual int32_t Seek(int32_t Offset, int Origin) = 0;

    int32_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int32_t Pos) { Seek(Pos, soFromBeginning); }
    int32_t Size();

    // Exactly Count bytes or EReadError / EWriteError.
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);
    // Copies Count bytes from the current position of Source; Count 0 copies
    // all of Source from its start. Returns the bytes copied.
    int64_t CopyFrom(TStream& Source, int64_t Count);
    // Up to Count bytes from Offset, for readers that keep their own
    // position; the stream's position afterwards is unspecified.
    virtual int32_t ReadAt(int32_t Offset, void* Buffer, int32_t Count);

    int32_t ReadInt32();
    void WriteInt32(int32_t Value);
};

class TMemoryStream : public TStream {
public:
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int32_t Seek(int32_t Offset, int Origin) override;

    void SetSize(int32_t NewSize);
    void Clear();
    uint8_t* Memory() { return FData.data(); }
    const uint8_t* Memory() const { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    std::vector<uint8_t> TakeBytes();
    void SetBytes(std::vector<uint8_t> Data);
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    std::vector<uint8_t> FData;
    int32_t FPosition = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,        // create or truncate, read and write
    fmShareExclusive = 0x0010 // with fmCreate: the name must not exist yet
};

// Opening an existing file refuses a directory and anything else that is
// not a regular file: a FIFO, device or socket named as a report could hold
// the open up, or never end.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& FileName, unsigned Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int32_t Seek(int32_t Offset, int Origin) override;
    // One pread: no seek, and the position stays where it was.
    int32_t ReadAt(int32_t Offset, void* Buffer, int32_t Count) override;
    const std::string& FileName() const { return FFileName; }
    // The real size, which may exceed what 32-bit positions reach.
    int64_t Size64() const;

private:
    std::string FFileName;
    int FHandle = -1;
};

bool FileExists(const std::string& FileName);

// Calls Write on a new file beside FileName and renames it over FileName
// only once Write has returned, so that a failure (or FileName being the file
// that is being read) leaves any existing file as it was and no partial file
// behind. An existing file keeps its permissions. A symbolic link stays a
// link: its target gets the content. In a folder that takes no new files,
// a writable file is overwritten in place, but only once Write has filled a
// temporary file elsewhere.
void SaveFileReplacing(const std::string& FileName, const std::function<void(TStream&)>& Write);
// The file a save to FileName writes: FileName with symbolic links followed,
// even to a target that does not exist yet.
std::string SaveTarget(const std::string& FileName);
bool DeleteFile(const std::string& FileName);
