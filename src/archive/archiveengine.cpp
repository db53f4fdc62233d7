// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archiveengine.h"

#include "archive/reporttext.h"
#include "platform/metafile.h"
#include "store/orderedpages.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A file that could not be read, as opposed to one whose content is damaged.
struct EUnreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct EStopped {};

bool Stopped(const std::atomic<bool>* Stop)
{
    return Stop && Stop->load();
}

bool Under(const std::string& Path, const std::vector<std::string>& Roots)
{
    for (const std::string& r : Roots) {
        if (Path == r)
            return true;
        const std::string dir = !r.empty() && r.back() == '/' ? r : r + '/';
        if (Path.compare(0, dir.size(), dir) == 0)
            return true;
    }
    return false;
}

// The text of every page of File, pages decoded on Jobs threads; false when
// stopped on the way.
bool ReadPageTexts(const std::string& File, int Jobs, const std::atomic<bool>* Stop, std::vector<QString>& Pages)
{
    using Text = std::optional<QString>;
    auto source = std::make_unique<TTextSource>(File);
    const int count = source->PageCount();
    bool stopped = false;
    ForEachPageInOrder<TTextSource, Text>(
        1, count, Jobs, std::move(source), [&] { return std::make_unique<TTextSource>(File); },
        [](TTextSource& Source, int N) -> Text {
            const std::unique_ptr<TMetafile> page = Source.Page(N);
            if (!page)
                return std::nullopt;
            return EmfLinesText(EmfPageLines(*page, false));
        },
        [&](int, Text& PageText) {
            stopped = Stopped(Stop);
            if (stopped || !PageText)
                return false;
            Pages.push_back(std::move(*PageText));
            return true;
        });
    return !stopped;
}

// Opened by its bytes, whatever their encoding, and by type: a FIFO put where
// a report was would block the open, a device would never end.
std::string FileHash(const std::string& File, const std::atomic<bool>* Stop)
{
    const int fd = ::open(File.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw EUnreadable(std::string("cannot be read: ") + std::strerror(errno));
    struct Closer {
        int Fd;
        ~Closer() { ::close(Fd); }
    } closer{fd};
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        throw EUnreadable(std::string("cannot be read: ") + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw EUnreadable("not a regular file");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (Stopped(Stop))
            throw EStopped();
        const ssize_t n = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EUnreadable(std::string("cannot be read: ") + std::strerror(errno));
        if (n == 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), n));
    }
    return hash.result().toHex().toStdString();
}

// What a worker makes of one file; false when stopped.
bool ReadReport(const std::string& File, const std::map<std::string, TIndexedReport>& Indexed, int PageJobs,
                TIndexWriter& Writer, const std::atomic<bool>* Stop, TReportText& R)
{
    try {
        R.Hash = FileHash(File, Stop);
        const auto it = Indexed.find(File);
        if (it != Indexed.end() && it->second.Hash == R.Hash) {
            R.SameContent = true;
            return true;
        }
        if (!ReadPageTexts(File, PageJobs, Stop, R.Pages))
            return false;
        Writer.Prepare(R);
    } catch (const EStopped&) {
        return false;
    } catch (const EUnreadable& e) {
        R.Unreadable = true;
        R.Error = e.what();
    } catch (const std::exception& e) {
        R.Error = e.what();
        R.Pages.clear();
        R.Words.clear();
        R.Plain.clear();
        R.Stored.clear();
    }
    return true;
}

} // namespace

std::vector<std::string> IndexUpdateRoots(const std::vector<std::string>& Folders)
{
    std::vector<std::string> roots;
    for (const std::string& f : Folders)
        roots.push_back(fs::absolute(fs::path(f)).lexically_normal().string());
    for (std::string& r : roots) {
        if (r.size() > 1 && r.back() == '/')
            r.pop_back();
        std::error_code ec;
        if (!fs::exists(r, ec))
            throw EArchiveIndex(r + ": no such folder");
    }
    return roots;
}

TIndexUpdateStats RunIndexUpdate(const std::vector<std::string>& Roots, TIndexWriter& Writer,
                                 const TIndexUpdateOptions& Options)
{
    TIndexUpdateStats stats;
    TFileWalk walk = TextSearchFiles(Roots);
    std::vector<std::string>& files = walk.Files;
    // Nested or repeated folders list a report more than once. Sorted, so
    // that every updater of a server takes its locks in this order and none
    // waits in a circle.
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    if (Stopped(Options.Stop))
        return stats;

    std::map<std::string, TIndexedReport> indexed = Writer.Indexed();

    // What lies below a folder that could not be read is unknown, not gone;
    // the same for a name that is not a regular file (a FIFO put there).
    std::vector<std::string> unknown;
    for (const auto& [path, error] : walk.Errors) {
        ++stats.Unreadable;
        unknown.push_back(path);
        if (Options.Unreadable)
            Options.Unreadable(path, error);
    }
    for (const std::string& r : Roots) {
        if (Options.Prune || Under(r, unknown) ||
            std::any_of(files.begin(), files.end(), [&](const std::string& f) { return Under(f, {r}); }))
            continue;
        const int64_t had = std::count_if(indexed.begin(), indexed.end(),
                                          [&](const auto& Row) { return Under(Row.first, {r}); });
        if (!had)
            continue;
        unknown.push_back(r);
        if (Options.EmptyFolder)
            Options.EmptyFolder(r, had);
    }

    std::vector<TOnDisk> disk(files.size());
    std::vector<size_t> work;
    std::set<std::string> present;
    for (size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        disk[i].Size = int64_t(fs::file_size(files[i], ec));
        disk[i].Time = int64_t(fs::last_write_time(files[i], ec).time_since_epoch().count());
        present.insert(files[i]);
        const auto it = indexed.find(files[i]);
        if (it != indexed.end() && it->second.Size == disk[i].Size && it->second.Time == disk[i].Time)
            ++stats.Unchanged;
        else
            work.push_back(i);
    }

    // Reports gone from the folders, in one transaction of their own.
    std::vector<std::pair<std::string, TIndexedReport>> gone;
    for (const auto& [path, row] : indexed)
        if (!present.count(path) && Under(path, Roots) && !Under(path, unknown))
            gone.emplace_back(path, row);
    if (!gone.empty()) {
        try {
            Writer.Begin();
            stats.Removed = Writer.Remove(gone);
            Writer.Commit();
        } catch (...) {
            Writer.Rollback();
            throw;
        }
    }

    // Workers read and extract; this thread alone writes. The queue is
    // bounded so that memory stays flat however large the archive.
    std::mutex lock;
    std::condition_variable changed;
    std::deque<TReportText> done;
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    const int jobs = std::max(1, std::min<int>(Options.Jobs, int(std::max<size_t>(1, work.size()))));
    const size_t queueLimit = size_t(jobs) * 2;
    // Fewer reports than threads: the threads left over decode their pages.
    const int pageJobs = std::max(1, Options.Jobs / jobs);
    auto worker = [&] {
        for (size_t w; !stop && !Stopped(Options.Stop) && (w = next++) < work.size();) {
            TReportText r;
            r.Index = work[w];
            if (!ReadReport(files[r.Index], indexed, pageJobs, Writer, Options.Stop, r))
                return;
            std::unique_lock<std::mutex> g(lock);
            changed.wait(g, [&] { return stop || done.size() < queueLimit; });
            done.push_back(std::move(r));
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int j = 0; j < jobs && !work.empty(); ++j)
        pool.emplace_back(worker);

    const size_t total = files.size();
    size_t looked = size_t(stats.Unchanged);
    if (Options.Progress)
        Options.Progress(looked, total);
    int inBatch = 0;
    std::chrono::steady_clock::time_point batchStart;
    std::exception_ptr failure;
    try {
        for (size_t received = 0; received < work.size(); ++received) {
            TReportText r;
            {
                std::unique_lock<std::mutex> g(lock);
                // Woken now and then to see a stop while the workers read.
                while (done.empty() && !Stopped(Options.Stop))
                    changed.wait_for(g, std::chrono::milliseconds(100));
                if (Stopped(Options.Stop))
                    break;
                r = std::move(done.front());
                done.pop_front();
                changed.notify_all();
            }
            if (!inBatch) {
                Writer.Begin();
                batchStart = std::chrono::steady_clock::now();
            }
            ++inBatch;
            const std::string& file = files[r.Index];
            const TOnDisk& onDisk = disk[r.Index];
            const auto at = indexed.find(file);
            if (r.Unreadable) {
                ++stats.Unreadable;
                if (Options.Unreadable)
                    Options.Unreadable(file, r.Error);
            } else {
                const std::optional<TIndexedReport> row = Writer.Current(file,
                                                                         at == indexed.end() ? nullptr : &at->second);
                if (!r.Error.empty()) {
                    ++stats.Damaged;
                    // Its old text no longer stands for what is on disk.
                    if (row)
                        Writer.Drop(*row);
                    if (Options.Damaged)
                        Options.Damaged(file, r.Error);
                } else if (row && row->Hash == r.Hash) {
                    ++stats.Unchanged;
                    if (row->Size != onDisk.Size || row->Time != onDisk.Time)
                        Writer.Touch(*row, onDisk);
                } else if (r.SameContent) {
                    // Indexed as it is when this update began, changed by another since: left to the next.
                    ++stats.Unchanged;
                } else {
                    if (row)
                        ++stats.Updated;
                    else
                        ++stats.Added;
                    Writer.Write(file, row ? &*row : nullptr, onDisk, r);
                    stats.Pages += int64_t(r.Pages.size());
                }
            }
            const bool more = !Options.Continue || Options.Continue();
            const std::chrono::duration<double> batchTime = std::chrono::steady_clock::now() - batchStart;
            if (inBatch >= Options.BatchFiles || batchTime.count() >= Options.BatchSeconds || !more) {
                Writer.Commit();
                inBatch = 0;
            }
            if (Options.Progress)
                Options.Progress(++looked, total);
            if (!more)
                break;
        }
        if (inBatch)
            Writer.Commit();
    } catch (...) {
        failure = std::current_exception();
        Writer.Rollback();
    }
    {
        std::lock_guard<std::mutex> g(lock);
        stop = true;
        changed.notify_all();
    }
    for (std::thread& t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
    return stats;
}
