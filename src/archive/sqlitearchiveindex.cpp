// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqlitearchiveindex.h"

#include "platform/emftext/textfold.h"
#include "archive/archivequerytext.h"
#include "archive/indexlock.h"

#include <sqlite3.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace {

const unsigned ColumnCFold = FoldCase;
const unsigned ColumnAFold = FoldCase | FoldDiacritics;

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

TSqliteArchiveIndex::TSqliteArchiveIndex(const std::string& File, bool ReadOnly) : FFile(File)
{
    auto fail = [&](const std::string& Message) {
        sqlite3_close(FDb);
        FDb = nullptr;
        return EArchiveIndex(File + ": " + Message);
    };
    const int flags = ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(File.c_str(), &FDb, flags, nullptr) != SQLITE_OK)
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
            if (!ReadOnly || (error != SQLITE_CANTOPEN && error != SQLITE_READONLY))
                throw;
            sqlite3_close(FDb);
            FDb = nullptr;
            if (sqlite3_open_v2((FileUri(File) + "?immutable=1").c_str(), &FDb, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                                nullptr) != SQLITE_OK)
                throw EArchiveIndex(FDb ? sqlite3_errmsg(FDb) : "out of memory");
            schema = ReadSchema(FDb);
        }
        // Whatever else the file is, it stays as it was: no WAL switch, no tables of ours.
        if (!schema.Ours && (ReadOnly || !schema.Empty))
            throw EArchiveIndex("not an archive index (qrptool index update makes one); left as it was");
        if (!ReadOnly && !schema.Ours)
            CreateTables();
        FDictionary = StoredDictionary();
    } catch (const EArchiveIndex& e) {
        throw fail(e.what());
    }
}

void TSqliteArchiveIndex::CreateTables()
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

QByteArray TSqliteArchiveIndex::StoredDictionary()
{
    TStatement get(FDb, "SELECT value FROM meta WHERE key = 'dictionary'");
    return get.Step() ? QByteArray(static_cast<const char*>(get.BlobData(0)), get.BlobSize(0)) : QByteArray();
}

bool TSqliteArchiveIndex::PageText(const void* Data, int Size, QString& Text)
{
    const auto* bytes = static_cast<const uchar*>(Data);
    // Another connection may have made the dictionary since this one opened.
    if (FDictionary.isEmpty() && bytes && Size > 0 && bytes[0] == DictionaryMark) {
        const QByteArray dictionary = StoredDictionary();
        std::lock_guard<std::mutex> g(FDictionaryLock);
        FDictionary = dictionary;
    }
    return UnpackText(bytes, Size, FDictionary, Text);
}

TSqliteArchiveIndex::~TSqliteArchiveIndex()
{
    sqlite3_close(FDb);
}

void TSqliteArchiveIndex::Interrupt()
{
    FInterrupted = true;
    sqlite3_interrupt(FDb);
}

int64_t TSqliteArchiveIndex::PageCount()
{
    TStatement count(FDb, "SELECT count(*) FROM pages WHERE report <> 0");
    return count.Step() ? count.Int(0) : 0;
}

// The statements of an update. Only one update of a file runs at a time
// (TIndexLock), so the rows read when it began are the rows it writes.
class TSqliteWriter : public TIndexWriter {
public:
    explicit TSqliteWriter(TSqliteArchiveIndex& Index)
        : FIndex(Index), FDb(Index.FDb), FBegin(FDb, "BEGIN IMMEDIATE"), FCommit(FDb, "COMMIT"),
          FOldPages(FDb, "SELECT id, text FROM pages WHERE report = ?"),
          FUnindex(FDb, "INSERT INTO pagetext(pagetext, rowid, c, a) VALUES('delete', ?, ?, ?)"),
          FKeepRowid(FDb, "UPDATE pages SET report = 0, page = 0, text = x'' WHERE id = ?"),
          FDropPages(FDb, "DELETE FROM pages WHERE report = ?"), FDropReport(FDb, "DELETE FROM reports WHERE id = ?"),
          FAddReport(FDb, "INSERT INTO reports(path, size, mtime, hash, pages) VALUES(?, ?, ?, ?, ?)"),
          FSetReport(FDb, "UPDATE reports SET size = ?, mtime = ?, hash = ?, pages = ? WHERE id = ?"),
          FTouchReport(FDb, "UPDATE reports SET size = ?, mtime = ? WHERE id = ?"),
          FAddPage(FDb, "INSERT INTO pages(report, page, text) VALUES(?, ?, ?)"),
          FAddText(FDb, "INSERT INTO pagetext(rowid, c, a) VALUES(?, ?, ?)"),
          // Never replaced: the pages packed against the first one would no longer unpack.
          FAddDictionary(FDb, "INSERT OR IGNORE INTO meta(key, value) VALUES('dictionary', ?)")
    {
    }

    std::map<std::string, TIndexedReport> Indexed() override
    {
        std::map<std::string, TIndexedReport> indexed;
        TStatement all(FDb, "SELECT id, path, size, mtime, hash FROM reports");
        while (all.Step())
            indexed[all.Text(1)] = {all.Int(0), all.Int(2), all.Int(3), all.Text(4)};
        const QByteArray dictionary = FIndex.StoredDictionary();
        std::lock_guard<std::mutex> g(FIndex.FDictionaryLock);
        FIndex.FDictionary = dictionary;
        return indexed;
    }

    void Prepare(TReportText& Text) override
    {
        {
            std::lock_guard<std::mutex> g(FIndex.FDictionaryLock);
            Text.StoredWith = FIndex.FDictionary;
        }
        for (const QString& page : Text.Pages) {
            Text.Words.push_back(FoldText(page, ColumnCFold).toStdString());
            Text.Plain.push_back(FoldText(page, ColumnAFold).toStdString());
            if (!Text.StoredWith.isEmpty())
                Text.Stored.push_back(PackText(page, Text.StoredWith));
        }
    }

    void Begin() override { FBegin.Run(); }
    void Commit() override { FCommit.Run(); }
    void Rollback() override
    {
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        // A dictionary made in the batch rolled back is gone with it.
        QByteArray dictionary;
        try {
            dictionary = FIndex.StoredDictionary();
        } catch (const EArchiveIndex&) {
        }
        std::lock_guard<std::mutex> g(FIndex.FDictionaryLock);
        FIndex.FDictionary = dictionary;
    }

    int Remove(const std::vector<std::pair<std::string, TIndexedReport>>& Gone) override
    {
        for (const auto& [path, row] : Gone)
            Drop(row);
        return int(Gone.size());
    }

    std::optional<TIndexedReport> Current(const std::string&, const TIndexedReport* AtStart) override
    {
        return AtStart ? std::optional<TIndexedReport>(*AtStart) : std::nullopt;
    }

    void Drop(const TIndexedReport& Row) override
    {
        DropContent(Row.Id);
        FDropReport.Bind(1, Row.Id).Run();
    }

    void Touch(const TIndexedReport& Row, const TOnDisk& Disk) override
    {
        FTouchReport.Bind(1, Disk.Size).Bind(2, Disk.Time).Bind(3, Row.Id).Run();
    }

    void Write(const std::string& File, const TIndexedReport* Row, const TOnDisk& Disk,
               const TReportText& Text) override
    {
        const auto pages = int64_t(Text.Pages.size());
        int64_t report = 0;
        if (Row) {
            report = Row->Id;
            DropContent(report);
            FSetReport.Bind(1, Disk.Size).Bind(2, Disk.Time).Bind(3, Text.Hash).Bind(4, pages).Bind(5, report).Run();
        } else {
            FAddReport.Bind(1, File).Bind(2, Disk.Size).Bind(3, Disk.Time).Bind(4, Text.Hash).Bind(5, pages).Run();
            report = sqlite3_last_insert_rowid(FDb);
        }
        if (FIndex.FDictionary.isEmpty() && !Text.Pages.empty()) {
            // Read again inside the transaction: the first dictionary
            // stored is the one, whoever stored it.
            QByteArray dictionary = FIndex.StoredDictionary();
            const QByteArray made = dictionary.isEmpty() ? MakeDictionary(Text.Pages) : QByteArray();
            if (made.size() > 1) {
                FAddDictionary.Blob(1, made).Run();
                dictionary = FIndex.StoredDictionary();
            }
            std::lock_guard<std::mutex> g(FIndex.FDictionaryLock);
            FIndex.FDictionary = dictionary;
        }
        const bool packed = Text.Stored.size() == Text.Pages.size() && Text.StoredWith == FIndex.FDictionary;
        for (size_t p = 0; p < Text.Pages.size(); ++p) {
            FAddPage.Bind(1, report).Bind(2, int64_t(p + 1));
            FAddPage.Blob(3, packed ? Text.Stored[p] : PackText(Text.Pages[p], FIndex.FDictionary)).Run();
            const int64_t row = sqlite3_last_insert_rowid(FDb);
            FAddText.Bind(1, row).Bind(2, Text.Words[p]).Bind(3, Text.Plain[p]).Run();
        }
    }

private:
    void DropContent(int64_t Report)
    {
        std::vector<int64_t> lost;
        FOldPages.Bind(1, Report);
        while (FOldPages.Step()) {
            QString text;
            if (!FIndex.PageText(FOldPages.BlobData(1), FOldPages.BlobSize(1), text)) {
                lost.push_back(FOldPages.Int(0));
                continue;
            }
            FUnindex.Bind(1, FOldPages.Int(0))
                .Bind(2, FoldText(text, ColumnCFold))
                .Bind(3, FoldText(text, ColumnAFold));
            FUnindex.Run();
        }
        FOldPages.Reset();
        // A contentless FTS5 table forgets a row's words only when given
        // them again. Without the text they stay; the row is kept, empty and
        // of no report, so that its rowid never goes to a page that would
        // inherit them.
        for (const int64_t id : lost)
            FKeepRowid.Bind(1, id).Run();
        FDropPages.Bind(1, Report).Run();
    }

    TSqliteArchiveIndex& FIndex;
    sqlite3* FDb;
    TStatement FBegin, FCommit, FOldPages, FUnindex, FKeepRowid, FDropPages, FDropReport, FAddReport, FSetReport,
        FTouchReport, FAddPage, FAddText, FAddDictionary;
};

TIndexUpdateStats TSqliteArchiveIndex::Update(const std::vector<std::string>& Folders,
                                              const TIndexUpdateOptions& Options)
{
    const std::vector<std::string> roots = IndexUpdateRoots(Folders);
    const TIndexLock updating(FFile, Options.Stop, Options.Waiting);
    if (!updating.Taken())
        return {};
    TSqliteWriter writer(*this);
    return RunIndexUpdate(roots, writer, Options);
}

std::vector<TIndexHit> TSqliteArchiveIndex::Query(const QString& Text, unsigned Fold, int Limit,
                                                  const std::function<bool()>& Cancelled)
{
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
    // match hundreds of thousands of them. So only the newest ArchiveRankWindow
    // matches are scored, from FTS5's own rowid order, which stops there;
    // such words weigh next to nothing in bm25 anyway (their idf is near
    // zero), and below that many matches the ranking is exact.
    TStatement match(FDb, "SELECT rowid, bm25(pagetext) FROM pagetext WHERE pagetext MATCH ?"
                          " ORDER BY rowid DESC LIMIT ?");
    match.Bind(1, query).Bind(2, int64_t(ArchiveRankWindow));
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
