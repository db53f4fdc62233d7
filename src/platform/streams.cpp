// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/streams.h"
#include "platform/errors.h"
#include "platform/littleendian.h"
#include "platform/system.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <random>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

int32_t TStream::Size()
{
    const int32_t pos = Seek(0, soFromCurrent);
    const int32_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, int32_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count)
{
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(Count, 1 << 16)));
    int64_t left = Count;
    while (left > 0) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(left, static_cast<int64_t>(buffer.size())));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

int32_t TStream::ReadAt(int32_t Offset, void* Buffer, int32_t Count)
{
    if (Seek(Offset, soFromBeginning) != Offset)
        return 0;
    return Read(Buffer, Count);
}

int32_t TStream::ReadInt32()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return static_cast<int32_t>(GetLE32(b));
}

void TStream::WriteInt32(int32_t Value)
{
    uint8_t b[4];
    PutLE32(b, static_cast<uint32_t>(Value));
    WriteBuffer(b, 4);
}

// ---- TMemoryStream

int32_t TMemoryStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition < 0 || static_cast<size_t>(FPosition) >= FData.size())
        return 0;
    const int32_t n = static_cast<int32_t>(
        std::min<size_t>(static_cast<size_t>(Count), FData.size() - static_cast<size_t>(FPosition)));
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition < 0)
        return 0;
    const int64_t end = int64_t(FPosition) + Count;
    if (end > std::numeric_limits<int32_t>::max())
        return 0;
    if (static_cast<size_t>(end) > FData.size()) {
        if (static_cast<size_t>(end) > FData.capacity())
            FData.reserve(std::max<size_t>(static_cast<size_t>(end), FData.capacity() + FData.capacity() / 2));
        FData.resize(static_cast<size_t>(end));
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = static_cast<int32_t>(end);
    return Count;
}

int32_t TMemoryStream::Seek(int32_t Offset, int Origin)
{
    int64_t base = 0;
    if (Origin == soFromCurrent)
        base = FPosition;
    else if (Origin == soFromEnd)
        base = static_cast<int64_t>(FData.size());
    const int64_t pos = base + Offset;
    if (pos >= 0 && pos <= std::numeric_limits<int32_t>::max())
        FPosition = static_cast<int32_t>(pos);
    return FPosition;
}

void TMemoryStream::SetSize(int32_t NewSize)
{
    FData.resize(static_cast<size_t>(std::max<int32_t>(NewSize, 0)));
    FPosition = std::min<int32_t>(FPosition, static_cast<int32_t>(FData.size()));
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

std::vector<uint8_t> TMemoryStream::TakeBytes()
{
    std::vector<uint8_t> out;
    out.swap(FData);
    FPosition = 0;
    return out;
}

void TMemoryStream::SetBytes(std::vector<uint8_t> Data)
{
    FData = std::move(Data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead);
    const int64_t size = f.Size64();
    if (size > std::numeric_limits<int32_t>::max())
        throw EReadError("File is larger than 2 GiB: " + FileName);
    FData.resize(static_cast<size_t>(size));
    f.ReadBuffer(FData.data(), static_cast<int32_t>(size));
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const
{
    SaveFileReplacing(FileName,
                      [this](TStream& f) { f.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size())); });
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FFileName(FileName)
{
    if ((Mode & 0xFF00) == fmCreate) {
        int flags = O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
        if (Mode & fmShareExclusive)
            flags = O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC;
        FHandle = ::open(FileName.c_str(), flags, 0666);
        if (FHandle < 0)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
    } else {
        // Non-blocking only for the open itself, so that a FIFO cannot hold
        // it up; the type is then checked on what was actually opened.
        const int flags = ((Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
        FHandle = ::open(FileName.c_str(), flags);
        if (FHandle < 0)
            throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
        struct stat st;
        const char* refusal = nullptr;
        if (::fstat(FHandle, &st) != 0)
            refusal = std::strerror(errno);
        else if (S_ISDIR(st.st_mode))
            refusal = "It is a directory";
        else if (!S_ISREG(st.st_mode))
            refusal = "It is not a regular file";
        else if (::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK) != 0)
            refusal = std::strerror(errno);
        if (refusal) {
            ::close(FHandle);
            FHandle = -1;
            throw EFOpenError("Cannot open file \"" + FileName + "\". " + refusal);
        }
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

int32_t TFileStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0)
        return 0;
    int32_t done = 0;
    while (done < Count) {
        const ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

int32_t TFileStream::ReadAt(int32_t Offset, void* Buffer, int32_t Count)
{
    if (Count <= 0 || Offset < 0)
        return 0;
    int32_t done = 0;
    while (done < Count) {
        const ssize_t n = ::pread(FHandle, static_cast<char*>(Buffer) + done, static_cast<size_t>(Count - done),
                                  off_t(Offset) + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

int32_t TFileStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0)
        return 0;
    int32_t done = 0;
    while (done < Count) {
        const ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

int32_t TFileStream::Seek(int32_t Offset, int Origin)
{
    const int whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
    off_t pos = ::lseek(FHandle, Offset, whence);
    if (pos < 0)
        pos = ::lseek(FHandle, 0, SEEK_CUR);
    // Positions beyond 2 GiB cannot be expressed; callers check Size64 first.
    return pos > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(pos);
}

int64_t TFileStream::Size64() const
{
    struct stat st;
    if (::fstat(FHandle, &st) != 0)
        return 0;
    return static_cast<int64_t>(st.st_size);
}

bool FileExists(const std::string& FileName)
{
    struct stat st;
    return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& FileName)
{
    return ::unlink(FileName.c_str()) == 0;
}

std::string SaveTarget(const std::string& FileName)
{
    std::string name = FileName;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::vector<char> text(4096);
        const ssize_t n = ::readlink(name.c_str(), text.data(), text.size());
        if (n <= 0 || static_cast<size_t>(n) >= text.size())
            break;
        std::string link(text.data(), static_cast<size_t>(n));
        const size_t slash = name.rfind('/');
        if (link[0] != '/' && slash != std::string::npos)
            link = name.substr(0, slash + 1) + link;
        name = link;
    }
    return name;
}

namespace {

// For a folder that takes no new files: the whole content goes to a
// temporary file first, so that the user's file is only touched once
// nothing can fail but the copy itself.
void SaveInPlace(const std::string& FileName, const std::string& Target, const std::function<void(TStream&)>& Write)
{
    const std::string temp = GetTempFileName(GetTempPath(), "QRP");
    try {
        {
            TFileStream f(temp, fmOpenReadWrite);
            Write(f);
        }
        TFileStream in(temp, fmOpenRead);
        const int fd = ::open(Target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
        std::vector<char> buffer(1 << 20);
        bool ok = true;
        for (int32_t n; ok && (n = in.Read(buffer.data(), static_cast<int32_t>(buffer.size()))) > 0;) {
            for (int32_t done = 0; ok && done < n;) {
                const ssize_t w = ::write(fd, buffer.data() + done, static_cast<size_t>(n - done));
                if (w < 0 && errno == EINTR)
                    continue;
                ok = w > 0;
                done += w > 0 ? static_cast<int32_t>(w) : 0;
            }
        }
        const int err = errno;
        if (::close(fd) != 0 || !ok)
            throw EWriteError("Cannot write file \"" + FileName + "\". " + std::strerror(ok ? errno : err));
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    ::unlink(temp.c_str());
}

} // namespace

void SaveFileReplacing(const std::string& FileName, const std::function<void(TStream&)>& Write)
{
    const std::string target = SaveTarget(FileName);
    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        throw EFCreateError("Cannot create file \"" + FileName + "\". It is a directory");
    static std::atomic<unsigned> counter{std::random_device{}()};
    std::string part;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", counter.fetch_add(1) & 0xFFFFFFu);
        part = target + ".~" + hex + ".part";
        fd = ::open(part.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int err = errno;
        if (replacing && (err == EACCES || err == EPERM) && ::access(target.c_str(), W_OK) == 0)
            return SaveInPlace(FileName, target, Write);
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(err));
    }
    if (replacing)
        (void)::fchmod(fd, old.st_mode & 07777);
    ::close(fd);
    try {
        {
            TFileStream f(part, fmOpenReadWrite);
            Write(f);
        }
        if (::rename(part.c_str(), target.c_str()) != 0)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
    } catch (...) {
        ::unlink(part.c_str());
        throw;
    }
}
