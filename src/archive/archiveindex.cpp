// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archiveindex.h"

#include "platform/emftext/textfold.h"
#include "archive/archivequerytext.h"
#include "archive/indexlock.h"
#include "archive/pgarchiveindex.h"
#include "platform/metafile.h"
#include "archive/reporttext.h"
#include "store/orderedpages.h"

#include <QCryptographicHash>

#include <sqlite3.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const unsigned ColumnCFold = FoldCase;
const unsigned ColumnAFold = FoldCase | FoldDiacritics;
// Matches scored at most in one query; see Query.
const int RankWindow = 10000;

class TStatement {
public:
    TStatement(sqlite3* Db, const char* Sql) : FDb(Db)
    {
        if (sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr) != SQLITE_OK)
            throw EArchiveIndex(sqlite3_errmsg(Db));
    }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int I, int64_t V)
    {
        sqlite3_bind_int64(FStmt, I, V);
        return *this;
    }
    TStatement& Bind(int I, const std::string& V)
    {
        sqlite3_bind_text(FStmt, I, V.data(), int(V.size()), SQLITE_TRANSIENT);
        return *this;
    }
    TStatement& Bind(int I, const QString& V)
    {
        const QByteArray u = V.toUtf8();
        sqlite3_bind_text(FStmt, I, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    TStatement& Blob(int I, const QByteArray& V)
    {
        sqlite3_bind_blob(FStmt, I, V.constData(), int(V.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while there is a row; throws on errors.
    bool Step()
    {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_INTERRUPT)
            throw EArchiveQueryCancelled();
        if (rc != SQLITE_DONE)
            throw EArchiveIndex(sqlite3_errmsg(FDb));
        return false;
    }
    void Run()
    {
        Step();
        Reset();
    }
    void Reset()
    {
        sqlite3_reset(FStmt);
        sqlite3_clear_bindings(FStmt);
    }
    int64_t Int(int C) const { return sqlite3_column_int64(FStmt, C); }
    double Real(int C) const { return sqlite3_column_double(FStmt, C); }
    std::string Text(int C) const
    {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, C));
        return t ? std::string(t, size_t(sqlite3_column_bytes(FStmt, C))) : std::string();
    }
    const void* BlobData(int C) const { return sqlite3_column_blob(FStmt, C); }
    int BlobSize(int C) const { return sqlite3_column_bytes(FStmt, C); }

private:
    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

// A page's text is kept compressed: it would be half the index otherwise.
// The pages of one archive share most of their words and layout, so each is
// deflated against a dictionary taken from the first report indexed, which
// halves what deflating a page alone gives. The mark tells these from texts
// written before there was a dictionary, which are plain zlib (qCompress,
// whose first byte is 0 for any page text below 16 MB).
const char DictionaryMark = 1;
const int DictionaryBytes = 32768; // deflate's window: more is never used
const int HeaderBytes = 5;         // mark, then the text's UTF-8 size (little-endian)
const uint32_t MaxTextBytes = 64u << 20;

QByteArray PackText(const QString& Text, const QByteArray& Dictionary)
{
    const QByteArray plain = Text.toUtf8();
    if (Dictionary.isEmpty())
        return qCompress(plain, 6);
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw EArchiveIndex("out of memory");
    deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(Dictionary.constData()), uInt(Dictionary.size()));
    QByteArray out(HeaderBytes + int(deflateBound(&z, uLong(plain.size()))), Qt::Uninitialized);
    const auto size = uint32_t(plain.size());
    out[0] = DictionaryMark;
    for (int i = 0; i < 4; ++i)
        out[1 + i] = char((size >> (8 * i)) & 0xff);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.constData()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data() + HeaderBytes);
    z.avail_out = uInt(out.size() - HeaderBytes);
    const int rc = deflate(&z, Z_FINISH);
    out.resize(HeaderBytes + int(z.total_out));
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw EArchiveIndex("a page's text could not be compressed");
    return out;
}

// False for a text that does not inflate.
bool UnpackText(const uchar* Data, int Size, const QByteArray& Dictionary, QString& Text)
{
    Text.clear();
    if (!Data || Size <= 0)
        return false;
    if (Size < HeaderBytes || Data[0] != DictionaryMark) {
        const QByteArray plain = qUncompress(Data, Size);
        Text = QString::fromUtf8(plain);
        // qUncompress says nothing else when it fails; a page text is never empty compressed.
        return !plain.isEmpty() || (Size >= 4 && !Data[0] && !Data[1] && !Data[2] && !Data[3]);
    }
    uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= uint32_t(Data[1 + i]) << (8 * i);
    if (size > MaxTextBytes || Dictionary.isEmpty())
        return false;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    inflateSetDictionary(&z, reinterpret_cast<const Bytef*>(Dictionary.constData()), uInt(Dictionary.size()));
    QByteArray plain(int(size), Qt::Uninitialized);
    z.next_in = const_cast<Bytef*>(Data + HeaderBytes);
    z.avail_in = uInt(Size - HeaderBytes);
    z.next_out = reinterpret_cast<Bytef*>(plain.data());
    z.avail_out = uInt(size);
    const int rc = inflate(&z, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
    if (whole)
        Text = QString::fromUtf8(plain);
    return whole;
}

// The end of a report's text, where the words its pages repeat are.
QByteArray MakeDictionary(const std::vector<QString>& Pages)
{
    QByteArray text;
    for (const QString& p : Pages)
        text += p.toUtf8() + '\n';
    return text.right(DictionaryBytes);
}

void Exec(sqlite3* Db, const char* Sql)
{
    char* error = nullptr;
    if (sqlite3_exec(Db, Sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(Db);
        sqlite3_free(error);
        throw EArchiveIndex(message);
    }
}

struct TOnDisk {
    int64_t Size = 0, Time = 0;
};

struct TInIndex {
    int64_t Id = 0, Size = 0, Time = 0;
    std::string Hash;
};

// A file that could not be read, as opposed to one whose content is damaged.
struct EUnreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct EStopped {};

bool Stopped(const std::atomic<bool>* Stop)
{
    return Stop && Stop->load();
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

// What a worker found out about one file.
struct TFileText {
    size_t Index = 0;
    std::string Hash;
    bool SameContent = false; // hash as indexed: only the time changed
    bool Unreadable = false;  // Error says why it could not be read; its row stays
    std::string Error;
    std::vector<QString> Pages;
    // Made by the worker too, so that the one writing thread only writes.
    std::vector<QString> FoldedC, FoldedA;
    std::vector<QByteArray> Packed; // empty while there was no dictionary
    QByteArray PackedWith;          // the dictionary they were packed against
};

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

// Our tables, one or more of which an SQLite file that is not an index lacks.
const char* const OurTables[] = {"reports", "pages", "meta", "pagetext"};

struct TSchema {
    bool Ours = true;  // all our tables are there
    bool Empty = true; // no tables at all: a new file
};

TSchema ReadSchema(sqlite3* Db)
{
    TSchema schema;
    std::set<std::string> tables;
    TStatement list(Db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (list.Step())
        tables.insert(list.Text(0));
    schema.Empty = tables.empty();
    for (const char* t : OurTables)
        schema.Ours = schema.Ours && tables.count(t);
    return schema;
}

// The file as an SQLite URI, every byte that could mean something there escaped.
std::string FileUri(const std::string& File)
{
    std::string uri = "file:";
    for (const unsigned char c : File) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            uri += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            uri += hex;
        }
    }
    return uri;
}

int OnQueryProgress(void* Context)
{
    const auto* cancelled = static_cast<const std::function<bool()>*>(Context);
    return (*cancelled)() ? 1 : 0;
}

} // namespace

TArchiveIndex::TArchiveIndex(const std::string& DbFile, TMode Mode) : FFile(DbFile)
{
    if (IsServerIndex(DbFile)) {
        FServer = std::make_unique<TPgArchiveIndex>(DbFile, Mode == ReadOnly);
        return;
    }
    auto fail = [&](const std::string& Message) {
        sqlite3_close(FDb);
        FDb = nullptr;
        return EArchiveIndex(DbFile + ": " + Message);
    };
    const int flags = Mode == ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(DbFile.c_str(), &FDb, flags, nullptr) != SQLITE_OK)
        throw fail(FDb ? sqlite3_errmsg(FDb) : "out of memory");
    sqlite3_busy_timeout(FDb, 5000);
    try {
        TSchema schema;
        try {
            schema = ReadSchema(FDb);
        } catch (const EArchiveIndex&) {
            // An index on a read-only share whose last writer is gone: SQLite
            // cannot make the WAL's shared-memory file beside it, and nothing
            // can change the file while it stays read-only.
            const int error = sqlite3_errcode(FDb);
            if (Mode != ReadOnly || (error != SQLITE_CANTOPEN && error != SQLITE_READONLY))
                throw;
            sqlite3_close(FDb);
            FDb = nullptr;
            if (sqlite3_open_v2((FileUri(DbFile) + "?immutable=1").c_str(), &FDb,
                                SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
                throw EArchiveIndex(FDb ? sqlite3_errmsg(FDb) : "out of memory");
            schema = ReadSchema(FDb);
        }
        // Whatever else the file is, it stays as it was: no WAL switch, no tables of ours.
        if (!schema.Ours && (Mode == ReadOnly || !schema.Empty))
            throw EArchiveIndex("not an archive index (qrptool index update makes one); left as it was");
        if (Mode == ForUpdate && !schema.Ours)
            CreateTables();
        FDictionary = StoredDictionary();
    } catch (const EArchiveIndex& e) {
        throw fail(e.what());
    }
}

void TArchiveIndex::CreateTables()
{
    Exec(FDb, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    // In one transaction, so that a second update starting at the same time
    // finds all of them or none.
    Exec(FDb, "BEGIN IMMEDIATE;"
              "CREATE TABLE IF NOT EXISTS reports(id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL,"
              " size INTEGER NOT NULL, mtime INTEGER NOT NULL, hash TEXT NOT NULL, pages INTEGER NOT NULL);"
              "CREATE TABLE IF NOT EXISTS pages(id INTEGER PRIMARY KEY, report INTEGER NOT NULL,"
              " page INTEGER NOT NULL, text BLOB NOT NULL);"
              "CREATE INDEX IF NOT EXISTS pages_report ON pages(report);"
              "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value BLOB NOT NULL);"
              // Contentless: the text is kept once, in pages, unfolded and zlib-compressed.
              "CREATE VIRTUAL TABLE IF NOT EXISTS pagetext USING fts5(c, a, content='',"
              " tokenize='unicode61 remove_diacritics 0');"
              "COMMIT;");
}

QByteArray TArchiveIndex::StoredDictionary()
{
    TStatement get(FDb, "SELECT value FROM meta WHERE key = 'dictionary'");
    return get.Step() ? QByteArray(static_cast<const char*>(get.BlobData(0)), get.BlobSize(0)) : QByteArray();
}

bool TArchiveIndex::PageText(const void* Data, int Size, QString& Text)
{
    const auto* bytes = static_cast<const uchar*>(Data);
    // Another connection may have made the dictionary since this one opened.
    if (FDictionary.isEmpty() && bytes && Size > 0 && bytes[0] == DictionaryMark)
        FDictionary = StoredDictionary();
    return UnpackText(bytes, Size, FDictionary, Text);
}

TArchiveIndex::~TArchiveIndex()
{
    sqlite3_close(FDb);
}

void TArchiveIndex::Interrupt()
{
    if (FServer)
        return FServer->Interrupt();
    FInterrupted = true;
    sqlite3_interrupt(FDb);
}

bool TArchiveIndex::CanWrite()
{
    return FServer ? FServer->CanWrite() : true;
}

int64_t TArchiveIndex::PageCount()
{
    if (FServer)
        return FServer->PageCount();
    TStatement count(FDb, "SELECT count(*) FROM pages WHERE report <> 0");
    return count.Step() ? count.Int(0) : 0;
}

TIndexUpdateStats TArchiveIndex::Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options)
{
    if (FServer)
        return FServer->Update(Folders, Options);
    std::vector<std::string> roots;
    for (const std::string& f : Folders)
        roots.push_back(fs::absolute(fs::path(f)).lexically_normal().string());
    for (std::string& r : roots) {
        if (r.size() > 1 && r.back() == '/')
            r.pop_back();
        // An unmounted share must not read as an archive whose reports are all gone.
        std::error_code ec;
        if (!fs::exists(r, ec))
            throw EArchiveIndex(r + ": no such folder");
    }
    TIndexUpdateStats stats;
    const TIndexLock updating(FFile, Options.Stop, Options.Waiting);
    if (!updating.Taken())
        return stats;

    // Nested or repeated folders list a report more than once.
    TFileWalk walk = TextSearchFiles(roots);
    std::vector<std::string>& files = walk.Files;
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    if (Stopped(Options.Stop))
        return stats;

    std::map<std::string, TInIndex> indexed;
    {
        TStatement all(FDb, "SELECT id, path, size, mtime, hash FROM reports");
        while (all.Step())
            indexed[all.Text(1)] = {all.Int(0), all.Int(2), all.Int(3), all.Text(4)};
    }
    FDictionary = StoredDictionary();

    // What lies below a folder that could not be read is unknown, not gone;
    // the same for a name that is not a regular file (a FIFO put there).
    std::vector<std::string> unknown;
    for (const auto& [path, error] : walk.Errors) {
        ++stats.Unreadable;
        unknown.push_back(path);
        if (Options.Unreadable)
            Options.Unreadable(path, error);
    }
    for (const std::string& r : roots) {
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

    TStatement begin(FDb, "BEGIN IMMEDIATE"), commit(FDb, "COMMIT");
    TStatement oldPages(FDb, "SELECT id, text FROM pages WHERE report = ?");
    TStatement unindex(FDb, "INSERT INTO pagetext(pagetext, rowid, c, a) VALUES('delete', ?, ?, ?)");
    TStatement keepRowid(FDb, "UPDATE pages SET report = 0, page = 0, text = x'' WHERE id = ?");
    TStatement dropPages(FDb, "DELETE FROM pages WHERE report = ?");
    TStatement dropReport(FDb, "DELETE FROM reports WHERE id = ?");
    TStatement addReport(FDb, "INSERT INTO reports(path, size, mtime, hash, pages) VALUES(?, ?, ?, ?, ?)");
    TStatement setReport(FDb, "UPDATE reports SET size = ?, mtime = ?, hash = ?, pages = ? WHERE id = ?");
    TStatement touchReport(FDb, "UPDATE reports SET size = ?, mtime = ? WHERE id = ?");
    TStatement addPage(FDb, "INSERT INTO pages(report, page, text) VALUES(?, ?, ?)");
    TStatement addText(FDb, "INSERT INTO pagetext(rowid, c, a) VALUES(?, ?, ?)");
    // Never replaced: the pages packed against the first one would no longer unpack.
    TStatement addDictionary(FDb, "INSERT OR IGNORE INTO meta(key, value) VALUES('dictionary', ?)");

    auto dropContent = [&](int64_t Report) {
        std::vector<int64_t> lost;
        oldPages.Bind(1, Report);
        while (oldPages.Step()) {
            QString text;
            if (!PageText(oldPages.BlobData(1), oldPages.BlobSize(1), text)) {
                lost.push_back(oldPages.Int(0));
                continue;
            }
            unindex.Bind(1, oldPages.Int(0)).Bind(2, FoldText(text, ColumnCFold)).Bind(3, FoldText(text, ColumnAFold));
            unindex.Run();
        }
        oldPages.Reset();
        // A contentless FTS5 table forgets a row's words only when given
        // them again. Without the text they stay; the row is kept, empty and
        // of no report, so that its rowid never goes to a page that would
        // inherit them.
        for (const int64_t id : lost)
            keepRowid.Bind(1, id).Run();
        dropPages.Bind(1, Report).Run();
    };

    // Reports gone from the folders, in one transaction of their own.
    std::vector<std::pair<std::string, int64_t>> gone;
    for (const auto& [path, row] : indexed)
        if (!present.count(path) && Under(path, roots) && !Under(path, unknown))
            gone.emplace_back(path, row.Id);
    if (!gone.empty()) {
        begin.Run();
        for (const auto& [path, id] : gone) {
            dropContent(id);
            dropReport.Bind(1, id).Run();
            indexed.erase(path);
        }
        commit.Run();
        stats.Removed = int(gone.size());
    }

    // Workers read and extract; this thread alone writes. The queue is
    // bounded so that memory stays flat however large the archive.
    std::mutex lock;
    std::condition_variable changed;
    std::deque<TFileText> done;
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    const int jobs = std::max(1, std::min<int>(Options.Jobs, int(std::max<size_t>(1, work.size()))));
    const size_t queueLimit = size_t(jobs) * 2;
    // Fewer reports than threads: the threads left over decode their pages.
    const int pageJobs = std::max(1, Options.Jobs / jobs);
    auto worker = [&] {
        for (size_t w; !stop && !Stopped(Options.Stop) && (w = next++) < work.size();) {
            TFileText r;
            r.Index = work[w];
            const std::string& file = files[r.Index];
            try {
                r.Hash = FileHash(file, Options.Stop);
                const auto it = indexed.find(file);
                if (it != indexed.end() && it->second.Hash == r.Hash) {
                    r.SameContent = true;
                } else {
                    if (!ReadPageTexts(file, pageJobs, Options.Stop, r.Pages))
                        return;
                    {
                        std::lock_guard<std::mutex> g(lock);
                        r.PackedWith = FDictionary;
                    }
                    for (const QString& text : r.Pages) {
                        r.FoldedC.push_back(FoldText(text, ColumnCFold));
                        r.FoldedA.push_back(FoldText(text, ColumnAFold));
                        if (!r.PackedWith.isEmpty())
                            r.Packed.push_back(PackText(text, r.PackedWith));
                    }
                }
            } catch (const EStopped&) {
                return;
            } catch (const EUnreadable& e) {
                r.Unreadable = true;
                r.Error = e.what();
            } catch (const std::exception& e) {
                r.Error = e.what();
                r.Pages.clear();
                r.FoldedC.clear();
                r.FoldedA.clear();
                r.Packed.clear();
            }
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
            TFileText r;
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
                begin.Run();
                batchStart = std::chrono::steady_clock::now();
            }
            ++inBatch;
            const std::string& file = files[r.Index];
            const auto it = indexed.find(file);
            const int64_t id = it == indexed.end() ? 0 : it->second.Id;
            if (r.Unreadable) {
                ++stats.Unreadable;
                if (Options.Unreadable)
                    Options.Unreadable(file, r.Error);
            } else if (!r.Error.empty()) {
                ++stats.Damaged;
                if (id) {
                    // Its old text no longer stands for what is on disk.
                    dropContent(id);
                    dropReport.Bind(1, id).Run();
                }
                if (Options.Damaged)
                    Options.Damaged(file, r.Error);
            } else if (r.SameContent) {
                ++stats.Unchanged;
                touchReport.Bind(1, disk[r.Index].Size).Bind(2, disk[r.Index].Time).Bind(3, id).Run();
            } else {
                int64_t report = id;
                if (id) {
                    ++stats.Updated;
                    dropContent(id);
                    setReport.Bind(1, disk[r.Index].Size).Bind(2, disk[r.Index].Time).Bind(3, r.Hash);
                    setReport.Bind(4, int64_t(r.Pages.size())).Bind(5, id).Run();
                } else {
                    ++stats.Added;
                    addReport.Bind(1, file).Bind(2, disk[r.Index].Size).Bind(3, disk[r.Index].Time).Bind(4, r.Hash);
                    addReport.Bind(5, int64_t(r.Pages.size())).Run();
                    report = sqlite3_last_insert_rowid(FDb);
                }
                if (FDictionary.isEmpty() && !r.Pages.empty()) {
                    // Read again inside the transaction: the first dictionary
                    // stored is the one, whoever stored it.
                    QByteArray dictionary = StoredDictionary();
                    const QByteArray made = dictionary.isEmpty() ? MakeDictionary(r.Pages) : QByteArray();
                    if (made.size() > 1) {
                        addDictionary.Blob(1, made).Run();
                        dictionary = StoredDictionary();
                    }
                    std::lock_guard<std::mutex> g(lock);
                    FDictionary = dictionary;
                }
                const bool packed = r.Packed.size() == r.Pages.size() && r.PackedWith == FDictionary;
                for (size_t p = 0; p < r.Pages.size(); ++p) {
                    addPage.Bind(1, report).Bind(2, int64_t(p + 1));
                    addPage.Blob(3, packed ? r.Packed[p] : PackText(r.Pages[p], FDictionary)).Run();
                    const int64_t row = sqlite3_last_insert_rowid(FDb);
                    addText.Bind(1, row).Bind(2, r.FoldedC[p]).Bind(3, r.FoldedA[p]).Run();
                }
                stats.Pages += int64_t(r.Pages.size());
            }
            const bool more = !Options.Continue || Options.Continue();
            const std::chrono::duration<double> batchTime = std::chrono::steady_clock::now() - batchStart;
            if (inBatch >= Options.BatchFiles || batchTime.count() >= Options.BatchSeconds || !more) {
                commit.Run();
                inBatch = 0;
            }
            if (Options.Progress)
                Options.Progress(++looked, total);
            if (!more)
                break;
        }
        if (inBatch)
            commit.Run();
    } catch (...) {
        failure = std::current_exception();
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    {
        std::lock_guard<std::mutex> g(lock);
        stop = true;
        changed.notify_all();
    }
    for (std::thread& t : pool)
        t.join();
    if (failure) {
        // A dictionary made in the batch rolled back is gone with it.
        try {
            FDictionary = StoredDictionary();
        } catch (const EArchiveIndex&) {
            FDictionary.clear();
        }
        std::rethrow_exception(failure);
    }
    return stats;
}

std::vector<TIndexHit> TArchiveIndex::Query(const QString& Text, unsigned Fold, int Limit,
                                            const std::function<bool()>& Cancelled)
{
    if (FServer)
        return FServer->Query(Text, Fold, Limit, Cancelled);
    if (Fold & ArchiveStem)
        throw EArchiveIndex("stemmed search needs an index on a PostgreSQL server");
    FInterrupted = false;
    const std::function<bool()> stopped = [&] { return FInterrupted || (Cancelled && Cancelled()); };
    // Asked between steps of SQLite's engine, so that a long scoring stops soon.
    sqlite3_progress_handler(FDb, 1000, OnQueryProgress, const_cast<std::function<bool()>*>(&stopped));
    struct TUnhook {
        sqlite3* Db;
        ~TUnhook() { sqlite3_progress_handler(Db, 0, nullptr, nullptr); }
    } unhook{FDb};

    const unsigned fold = (Fold & FoldDiacritics) ? ColumnAFold : ColumnCFold;
    std::vector<TArchiveTerm> terms;
    const QString query = ArchiveFtsMatch(Text, fold, &terms);
    // Scoring is what costs: words found on most pages of a large archive
    // match hundreds of thousands of them. So only the newest RankWindow
    // matches are scored, from FTS5's own rowid order, which stops there;
    // such words weigh next to nothing in bm25 anyway (their idf is near
    // zero), and below that many matches the ranking is exact.
    TStatement match(FDb, "SELECT rowid, bm25(pagetext) FROM pagetext WHERE pagetext MATCH ?"
                          " ORDER BY rowid DESC LIMIT ?");
    match.Bind(1, query).Bind(2, int64_t(RankWindow));
    std::vector<std::pair<double, int64_t>> scored; // bm25, rowid: in index order among equals
    while (match.Step())
        scored.emplace_back(match.Real(1), match.Int(0));
    const size_t best = std::min(scored.size(), size_t(std::max(1, Limit)));
    std::partial_sort(scored.begin(), scored.begin() + ptrdiff_t(best), scored.end());
    // Rows of no report (see Update) are left out by the join.
    TStatement page(FDb, "SELECT r.path, p.page, p.text FROM pages p JOIN reports r ON r.id = p.report WHERE p.id = ?");
    std::vector<TIndexHit> hits;
    for (size_t i = 0; i < best; ++i) {
        if (stopped())
            throw EArchiveQueryCancelled();
        page.Bind(1, scored[i].second);
        if (page.Step()) {
            TIndexHit h;
            h.File = page.Text(0);
            h.Page = int(page.Int(1));
            h.Score = scored[i].first;
            QString text;
            // A text that does not unpack loses its snippet, not the hit.
            PageText(page.BlobData(2), page.BlobSize(2), text);
            ArchiveSnippet(text, fold, terms, h);
            hits.push_back(std::move(h));
        }
        page.Reset();
    }
    return hits;
}
