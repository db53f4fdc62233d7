// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/reportsnapshot.h"

#include "app/reportfile.h"
#include "platform/errors.h"
#include "printer/qrprinter.h"
#include "store/qrfileheader.h"
#include "store/qrstream.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Offsets in a report are signed 32-bit: a file that grows past that while
// it is copied is no report the viewer could show.
constexpr off_t MaxCopyBytes = off_t(std::numeric_limits<int32_t>::max()) + 1;
// Above this a copy at every open would cost seconds and as much space in
// the temporary folder as the report: such a report is read in place. Real
// reports are far smaller; archives of many pages reach this.
constexpr off_t MaxSnapshotBytes = off_t(256) << 20;
// A file still being written is copied again, a few times at most.
constexpr int CopyAttempts = 3;

std::mutex GAliasLock;
std::map<QString, QString> GAliases; // private copy -> user's file

std::string Quoted(const QString& FileName)
{
    return "\"" + FileName.toStdString() + "\"";
}

[[noreturn]] void CannotRead(const QString& FileName, const std::string& Reason)
{
    throw EFOpenError("Cannot open file " + Quoted(FileName) + ". " + Reason);
}

TFileIdentity IdentityOf(const struct stat& Status)
{
    TFileIdentity id;
    id.Device = Status.st_dev;
    id.Inode = Status.st_ino;
    id.Size = Status.st_size;
    id.ModifiedSeconds = Status.st_mtim.tv_sec;
    id.ModifiedNanoseconds = Status.st_mtim.tv_nsec;
    return id;
}

class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

// Copies From to To from their starts; false with errno set on failure.
// The kernel copies (or shares the blocks) where it can.
bool CopyAll(int From, int To, off_t& Copied)
{
    Copied = 0;
    if (::lseek(From, 0, SEEK_SET) != 0 || ::ftruncate(To, 0) != 0 || ::lseek(To, 0, SEEK_SET) != 0)
        return false;
    bool inKernel = true;
    std::vector<char> buffer;
    while (Copied <= MaxCopyBytes) {
        ssize_t n = -1;
        if (inKernel) {
            n = ::copy_file_range(From, nullptr, To, nullptr, 1 << 20, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                inKernel = false;
                continue;
            }
        } else {
            buffer.resize(1 << 16);
            n = ::read(From, buffer.data(), buffer.size());
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(To, buffer.data() + done, size_t(n - done));
                if (w < 0 && errno != EINTR)
                    return false;
                done += std::max<ssize_t>(w, 0);
            }
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        Copied += n;
    }
    errno = EFBIG;
    return false;
}

} // namespace

bool TFileIdentity::operator==(const TFileIdentity& Other) const
{
    return Device == Other.Device && Inode == Other.Inode && Size == Other.Size &&
           ModifiedSeconds == Other.ModifiedSeconds && ModifiedNanoseconds == Other.ModifiedNanoseconds;
}

std::optional<TFileIdentity> CurrentFileIdentity(const QString& FileName)
{
    struct stat status;
    if (::stat(QFile::encodeName(FileName).constData(), &status) != 0)
        return std::nullopt;
    return IdentityOf(status);
}

TReportSnapshot::TReportSnapshot(const QString& FileName) : FFileName(FileName)
{
    // Non-blocking, so that a FIFO under a report's name cannot hang the
    // window; it is refused below as every other non-regular file.
    const TFd from(::open(QFile::encodeName(FileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (from.Get() < 0)
        CannotRead(FileName, std::strerror(errno));
    struct stat before;
    if (::fstat(from.Get(), &before) != 0)
        CannotRead(FileName, std::strerror(errno));
    if (S_ISDIR(before.st_mode))
        CannotRead(FileName, "It is a directory");
    if (!S_ISREG(before.st_mode))
        CannotRead(FileName, "It is not a regular file");
    if (before.st_size > MaxSnapshotBytes) {
        FCopyName = FileName;
        FIdentity = IdentityOf(before);
        FLinked = false;
        FInPlace = true;
        return;
    }

    FCopyName = QString::fromLocal8Bit(TempReportFileName().c_str());
    try {
        const TFd to(::open(QFile::encodeName(FCopyName).constData(), O_WRONLY | O_CLOEXEC));
        if (to.Get() < 0)
            CannotRead(FileName, "A private copy cannot be made: " + std::string(std::strerror(errno)));
        for (int attempt = 1;; ++attempt) {
            off_t copied = 0;
            if (!CopyAll(from.Get(), to.Get(), copied))
                CannotRead(FileName, std::strerror(errno));
            struct stat after;
            if (::fstat(from.Get(), &after) != 0)
                CannotRead(FileName, std::strerror(errno));
            const TFileIdentity was = IdentityOf(before);
            FIdentity = IdentityOf(after);
            // A copy taken while the file was written may mix old and new
            // data: the identity it keeps is then the older one, so that the
            // window offers to read the file again.
            if ((was == FIdentity && copied == after.st_size) || attempt == CopyAttempts) {
                if (was != FIdentity || copied != after.st_size)
                    FIdentity = was;
                break;
            }
            before = after;
        }
    } catch (...) {
        Unlink();
        throw;
    }
    const std::lock_guard<std::mutex> lock(GAliasLock);
    GAliases[FCopyName] = FFileName;
}

TReportSnapshot::~TReportSnapshot()
{
    Unlink();
    const std::lock_guard<std::mutex> lock(GAliasLock);
    GAliases.erase(FCopyName);
}

void TReportSnapshot::Unlink()
{
    if (FLinked && !FCopyName.isEmpty())
        ::unlink(QFile::encodeName(FCopyName).constData());
    FLinked = false;
}

bool TReportSnapshot::ChangedOnDisk() const
{
    const std::optional<TFileIdentity> now = CurrentFileIdentity(FFileName);
    return !now || *now != FIdentity;
}

std::unique_ptr<TReportSnapshot> LoadReportSnapshot(TQRPrinter& Document, const QString& FileName)
{
    auto snapshot = std::make_unique<TReportSnapshot>(FileName);
    try {
        LoadReportOrEmf(Document, snapshot->CopyName());
    } catch (const std::exception& error) {
        // The bare stream error says nothing to a user: say what it means.
        const bool endedEarly = dynamic_cast<const EReadError*>(&error) &&
                                EReadError().what() == std::string(error.what());
        const QString text = endedEarly ? QString::fromStdString(
                                              ShortReportReason(QFile::encodeName(snapshot->CopyName()).toStdString()))
                                        : WithUserFileNames(QString::fromUtf8(error.what()));
        if (text.contains(FileName))
            throw Exception(text.toStdString());
        throw Exception("Cannot read " + Quoted(FileName) + ": " + text.toStdString());
    }
    Document.SetFileName(FileName);
    snapshot->Unlink();
    return snapshot;
}

QString WithUserFileNames(QString Text)
{
    const std::lock_guard<std::mutex> lock(GAliasLock);
    for (const auto& [copy, original] : GAliases)
        Text.replace(copy, original);
    return Text;
}
