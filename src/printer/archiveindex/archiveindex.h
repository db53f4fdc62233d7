#pragma once
// A full-text index of a whole archive of reports in one SQLite file: one row
// per page, kept up to date with the folders it was built from. The text is
// folded before indexing (Turkish i's, and without diacritics in a second
// column) and queries are folded the same way, since SQLite's own folding
// keeps ı apart from i.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

// A database that cannot be opened or written, or a query FTS5 rejects.
class EArchiveIndex : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TIndexUpdateStats {
    int Added = 0, Updated = 0, Removed = 0, Unchanged = 0, Damaged = 0;
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
    // Called after each committed batch; returning false stops the update
    // there, as an interruption would.
    std::function<bool()> Continue;
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
    // Opens or creates the database. Throws EArchiveIndex.
    explicit TArchiveIndex(const std::string& DbFile);
    ~TArchiveIndex();
    TArchiveIndex(const TArchiveIndex&) = delete;
    TArchiveIndex& operator=(const TArchiveIndex&) = delete;

    // Brings the index in line with the reports under Folders: new ones
    // added, changed ones (size, time or content hash) indexed again, gone
    // ones dropped, damaged ones skipped. Reports are only read.
    TIndexUpdateStats Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options);

    // FTS5 query syntax (words, "phrases", prefix*, AND/OR/NOT), folded like
    // the index; Fold is TTextFold flags (FoldDiacritics selects the column
    // without diacritics). Best hits first; when the matches are very many,
    // the best of the most recently indexed ones.
    std::vector<TIndexHit> Query(const QString& Text, unsigned Fold, int Limit);

    int64_t PageCount();

private:
    void LoadDictionary();
    QString PageText(const void* Data, int Size);

    sqlite3* FDb = nullptr;
    // What page texts are deflated against; empty until the first report
    // with text is indexed.
    QByteArray FDictionary;
};

// The words of a query as the index matches them, folded with FoldCase; a
// prefix keeps its trailing *. Throws EArchiveIndex for a query without words.
std::vector<QString> ArchiveQueryWords(const QString& Text);

// The query as FTS5 receives it: words and phrases folded, operators kept,
// words with other characters quoted. Exposed for the tests.
QString ArchiveFtsQuery(const QString& Text, unsigned Fold);
