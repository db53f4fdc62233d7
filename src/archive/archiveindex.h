// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A full-text index of a whole archive of reports: one row per page, kept up
// to date with the folders it was built from. Two engines stand behind it,
// chosen by the name given: an SQLite file (sqlitearchiveindex.h), the
// embedded default, and a PostgreSQL server an office shares
// (pgarchiveindex.h). Both give the same answers to the same commands.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class TArchiveEngine;

// A database that cannot be opened or written, or a query FTS5 rejects.
class EArchiveIndex : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A query stopped by its caller.
class EArchiveQueryCancelled : public EArchiveIndex {
public:
    EArchiveQueryCancelled() : EArchiveIndex("the query was cancelled") {}
};

// A query with more words than ArchiveQueryMaxWords: FTS5 scores every
// word of it on every page found, so its cost grows with its length.
class EArchiveQueryTooLong : public EArchiveIndex {
public:
    using EArchiveIndex::EArchiveIndex;
};

// Words (each word of a phrase counts) in one query. Sixty-four is more than
// any query typed by hand; a page pasted whole is not a query.
const int ArchiveQueryMaxWords = 64;

// A Query flag beside the TTextFold ones: words match by their Turkish stem
// ("faturalar" finds "fatura"). Only an index on a server has stems.
const unsigned ArchiveStem = 1u << 16;

struct TIndexUpdateStats {
    int Added = 0, Updated = 0, Removed = 0, Unchanged = 0, Damaged = 0;
    // Folders and files that could not be read: what the index holds of them stays.
    int Unreadable = 0;
    int64_t Pages = 0; // pages indexed by this update
};

struct TIndexUpdateOptions {
    int Jobs = 1;
    // Files written to the database in one transaction: an interrupted update
    // loses at most one batch and the next one carries on from there.
    int BatchFiles = 64;
    // ... or after this long, whichever comes first.
    double BatchSeconds = 2.0;
    // Called on the calling thread; Done of Total files looked at.
    std::function<void(size_t Done, size_t Total)> Progress;
    // A report that could not be read, with the reason.
    std::function<void(const std::string& File, const std::string& Error)> Damaged;
    // A folder or file that could not be read (the folder walk's reason, or
    // why the file would not open): its reports stay in the index as they were.
    std::function<void(const std::string& Path, const std::string& Error)> Unreadable;
    // A folder given that holds no reports now but had Reports in the index
    // (an unmounted share looks like this); they are kept unless Prune.
    std::function<void(const std::string& Folder, int64_t Reports)> EmptyFolder;
    bool Prune = false;
    // Another update of the same index is running: this one waits for it.
    std::function<void()> Waiting;
    // Called after each committed batch; returning false stops the update
    // there, as an interruption would.
    std::function<bool()> Continue;
    // Set from anywhere (a signal handler, another thread) to stop the update
    // in whatever it is doing: waiting for another, reading, writing. What
    // was committed stays.
    const std::atomic<bool>* Stop = nullptr;
};

struct TIndexHit {
    std::string File;
    int Page = 0;
    double Score = 0;                       // bm25, smaller is better
    QString Snippet;                        // lines of the page around the matches
    std::vector<std::pair<int, int>> Marks; // start and length in Snippet
};

class TArchiveIndex {
public:
    enum TMode {
        ForUpdate, // creates the database and its tables when they are not there
        ReadOnly,  // changes nothing, also on a read-only share
    };
    // Opens the database, or creates it ForUpdate. Throws EArchiveIndex,
    // naming the file, also for an SQLite file that is not an archive index
    // (which is left as it was). A postgresql:// URI or service=NAME is an
    // index on that server; ForUpdate creates or migrates its tables there.
    explicit TArchiveIndex(const std::string& DbFile, TMode Mode = ForUpdate);
    ~TArchiveIndex();
    TArchiveIndex(const TArchiveIndex&) = delete;
    TArchiveIndex& operator=(const TArchiveIndex&) = delete;

    // Brings the index in line with the reports under Folders: new ones
    // added, changed ones (size, time or content hash) indexed again, gone
    // ones dropped, damaged ones skipped. Reports are only read. What cannot
    // be read is never taken for gone. Updates of one database, from any
    // process, run one after the other.
    TIndexUpdateStats Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options);

    // FTS5 query syntax (words, "phrases", prefix*, AND/OR/NOT), folded like
    // the index; Fold is TTextFold flags (FoldDiacritics selects the column
    // without diacritics). Best hits first; when the matches are very many,
    // the best of the most recently indexed ones. Throws EArchiveQueryTooLong
    // past ArchiveQueryMaxWords, EArchiveQueryCancelled once Cancelled
    // returns true (asked from the query's thread, often) or Interrupt is
    // called.
    std::vector<TIndexHit> Query(const QString& Text, unsigned Fold, int Limit,
                                 const std::function<bool()>& Cancelled = {});
    // Stops the query running on another thread; thread-safe.
    void Interrupt();

    int64_t PageCount();

    // The index is on a server (see IsServerIndex).
    bool OnServer() const;
    // Whether this user may change the index: always for a file opened ForUpdate.
    bool CanWrite();

private:
    std::unique_ptr<TArchiveEngine> FEngine;
};

// The words of a query as the index matches them, folded with FoldCase; a
// prefix keeps its trailing *. Throws EArchiveIndex for a query without words.
std::vector<QString> ArchiveQueryWords(const QString& Text);

// The query as FTS5 receives it: words and phrases folded, operators kept,
// words with other characters quoted. Exposed for the tests.
QString ArchiveFtsQuery(const QString& Text, unsigned Fold);
