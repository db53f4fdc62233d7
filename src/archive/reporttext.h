// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of report files and bare EMF pages, and searching it across
// many files at once: the engine behind `qrptool text` and `qrptool search`.
#include "platform/emftext/emftext.h"

#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TQRPageList;
class TMetafile;

// What to look for: plain text or a regular expression, matched against
// lines folded with TTextFold flags.
class TTextQuery {
public:
    // Backtracking steps a regular expression may take on one line. Report
    // lines are short: a sane expression needs a few thousand; this bounds a
    // nested quantifier such as (a+)+$ to some 20 ms a line instead of seconds.
    static constexpr int MatchLimit = 1000000;

    // Throws std::invalid_argument for a regular expression that does not compile.
    TTextQuery(const QString& Pattern, unsigned Fold, bool Regex);
    // Start and length of every match in Line. TooComplex, when given, is set
    // if the expression reached one of the engine's limits on this line: the
    // line may then hold matches that were not found.
    std::vector<std::pair<int, int>> Find(const QString& Line, bool* TooComplex = nullptr) const;
    bool Matches(const QString& Line, bool* TooComplex = nullptr) const;
    unsigned Fold() const { return FFold; }
    // What a search says about a page on which the match limit was reached.
    static std::string TooComplexError(int Page);

private:
    unsigned FFold;
    bool FRegex;
    QString FNeedle;
    QRegularExpression FExpression;
};

// A report file or a bare EMF, read one page at a time. Throws on files
// that cannot be opened or are not either.
class TTextSource {
public:
    explicit TTextSource(const std::string& FileName);
    ~TTextSource();
    int PageCount() const { return FPageCount; }
    // Page N (1-based); throws for a damaged page.
    std::unique_ptr<TMetafile> Page(int N);

private:
    std::unique_ptr<TQRPageList> FList;
    std::unique_ptr<TMetafile> FEmf;
    int FPageCount = 0;
};

// What a walk over files and folders found.
struct TFileWalk {
    // Report files (any case of .qrp) and .emf files: files as given,
    // folders recursively, sorted by name within each folder given.
    std::vector<std::string> Files;
    // Folders that could not be read and names that are not regular files
    // (FIFOs, devices, sockets), each with the reason. A caller must treat
    // what lies below such a folder as unknown, never as gone.
    std::vector<std::pair<std::string, std::string>> Errors;
};

TFileWalk TextSearchFiles(const std::vector<std::string>& Paths);

struct TTextHit {
    int Page = 0;
    QString Line;
    std::vector<std::pair<int, int>> Matches;
};

struct TFileSearch {
    std::string File;
    std::vector<TTextHit> Hits;
    std::string Error; // the file or one of its pages could not be read
    int Pages = 0;     // pages read
    int64_t Bytes = 0; // page bytes read
};

// Searches every file with Jobs threads, pages of large files split among
// them; Done receives each file's result in the order of Files, on the
// calling thread.
void SearchFiles(const std::vector<std::string>& Files, const TTextQuery& Query, int Jobs,
                 const std::function<void(const TFileSearch&)>& Done);
