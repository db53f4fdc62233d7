// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/reporttext.h"

#include "platform/emftext/textfold.h"
#include "platform/metafile.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Folds a regular expression's literal characters, leaving escapes (\S, \D)
// as they are so that folding cannot change their meaning.
QString FoldExpression(const QString& Pattern, unsigned Fold)
{
    QString out;
    out.reserve(Pattern.size());
    for (qsizetype i = 0; i < Pattern.size(); ++i) {
        if (Pattern[i] == QLatin1Char('\\') && i + 1 < Pattern.size()) {
            out += Pattern[i];
            out += Pattern[++i];
            continue;
        }
        out += FoldText(QString(Pattern[i]), Fold);
    }
    return out;
}

bool IsTextFile(const fs::path& Path)
{
    std::string ext = Path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".qrp" || ext == ".emf";
}

constexpr int PagesPerUnit = 32;

void SearchPage(TTextSource& Source, int Page, const TTextQuery& Query, TFileSearch& Result)
{
    const std::unique_ptr<TMetafile> page = Source.Page(Page);
    if (!page)
        return;
    ++Result.Pages;
    Result.Bytes += int64_t(page->Data().size());
    for (const TEmfTextLine& line : EmfPageLines(*page, false)) {
        bool tooComplex = false;
        std::vector<std::pair<int, int>> m = Query.Find(line.Text, &tooComplex);
        if (tooComplex && Result.Error.empty())
            Result.Error = TTextQuery::TooComplexError(Page);
        if (!m.empty())
            Result.Hits.push_back({Page, line.Text, std::move(m)});
    }
}

struct TUnit {
    size_t File;
    int First, Last;
    TFileSearch Result;
    bool Ready = false;
};

} // namespace

TTextQuery::TTextQuery(const QString& Pattern, unsigned Fold, bool Regex) : FFold(Fold), FRegex(Regex)
{
    if (Regex) {
        // PCRE2 takes a limit set in the pattern only when it is lower than its own.
        FExpression = QRegularExpression(QStringLiteral("(*LIMIT_MATCH=%1)").arg(MatchLimit) +
                                             FoldExpression(Pattern, Fold),
                                         QRegularExpression::UseUnicodePropertiesOption);
        if (!FExpression.isValid())
            throw std::invalid_argument("bad regular expression \"" + Pattern.toStdString() +
                                        "\": " + FExpression.errorString().toStdString());
    } else {
        FNeedle = FoldText(Pattern, Fold);
    }
}

std::vector<std::pair<int, int>> TTextQuery::Find(const QString& Line, bool* TooComplex) const
{
    std::vector<std::pair<int, int>> out;
    const QString folded = FoldText(Line, FFold);
    if (!FRegex) {
        for (int at : FindAll(folded, FNeedle))
            out.emplace_back(at, int(FNeedle.size()));
        return out;
    }
    auto it = FExpression.globalMatch(folded);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() > 0)
            out.emplace_back(int(m.capturedStart()), int(m.capturedLength()));
    }
    // A match that ends in an engine error (match, depth or JIT stack limit)
    // leaves the iterator invalid; "no match" leaves it valid.
    if (TooComplex && !it.isValid())
        *TooComplex = true;
    return out;
}

bool TTextQuery::Matches(const QString& Line, bool* TooComplex) const
{
    if (!FRegex)
        return !FNeedle.isEmpty() && FoldText(Line, FFold).contains(FNeedle);
    const QRegularExpressionMatch m = FExpression.match(FoldText(Line, FFold));
    if (TooComplex && !m.isValid())
        *TooComplex = true;
    return m.hasMatch();
}

std::string TTextQuery::TooComplexError(int Page)
{
    return "page " + std::to_string(Page) +
           ": regular expression too complex: a line reached the matching engine's limit";
}

TTextSource::TTextSource(const std::string& FileName)
{
    std::string ext = fs::path(FileName).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".emf") {
        FEmf = std::make_unique<TMetafile>();
        FEmf->LoadFromFile(FileName);
        FPageCount = 1;
        return;
    }
    FList = std::make_unique<TQRPageList>();
    LoadReportFile(*FList, FileName);
    FPageCount = FList->PageCount();
}

TTextSource::~TTextSource() = default;

std::unique_ptr<TMetafile> TTextSource::Page(int N)
{
    if (FEmf)
        return N == 1 ? std::make_unique<TMetafile>(*FEmf) : nullptr;
    return FList->GetPage(N);
}

TFileWalk TextSearchFiles(const std::vector<std::string>& Paths)
{
    TFileWalk out;
    auto refuse = [&](const fs::path& Path, const std::string& Reason) {
        out.Errors.emplace_back(Path.string(), Reason);
    };
    for (const std::string& p : Paths) {
        std::error_code ec;
        const fs::file_status given = fs::status(p, ec);
        if (!fs::is_directory(given)) {
            // Opening a FIFO would block, a device may never end: refused by type.
            if (fs::exists(given) && !fs::is_regular_file(given))
                refuse(p, "not a regular file");
            else
                out.Files.push_back(p);
            continue;
        }
        std::vector<std::string> found;
        std::vector<fs::path> folders{fs::path(p)};
        while (!folders.empty()) {
            const fs::path folder = std::move(folders.back());
            folders.pop_back();
            fs::directory_iterator it(folder, ec);
            if (ec) {
                refuse(folder, "cannot read folder: " + ec.message());
                continue;
            }
            for (; it != fs::directory_iterator(); it.increment(ec)) {
                // Links to folders are not followed, so that a loop cannot trap the walk.
                std::error_code entry;
                const bool link = it->is_symlink(entry);
                if (!entry && !link && it->is_directory(entry)) {
                    folders.push_back(it->path());
                    continue;
                }
                // A name that cannot be looked at (a folder with read but no search
                // permission) may be a folder of reports: unknown, not absent.
                if (entry && entry != std::errc::no_such_file_or_directory) {
                    refuse(it->path(), "cannot read: " + entry.message());
                    continue;
                }
                if (!IsTextFile(it->path()))
                    continue;
                const fs::file_status st = it->status(entry);
                if (fs::is_regular_file(st))
                    found.push_back(it->path().string());
                else if (entry && entry != std::errc::no_such_file_or_directory)
                    refuse(it->path(), "cannot read: " + entry.message());
                else if (fs::exists(st))
                    refuse(it->path(), "not a regular file");
            }
            if (ec)
                refuse(folder, "cannot read folder: " + ec.message());
        }
        std::sort(found.begin(), found.end());
        out.Files.insert(out.Files.end(), found.begin(), found.end());
    }
    return out;
}

void SearchFiles(const std::vector<std::string>& Files, const TTextQuery& Query, int Jobs,
                 const std::function<void(const TFileSearch&)>& Done)
{
    Jobs = std::max(1, Jobs);
    // Page counts first, so that large files can be shared out in slices.
    std::vector<int> counts(Files.size(), 0);
    std::vector<std::string> openErrors(Files.size());
    std::atomic<size_t> next{0};
    auto countPages = [&] {
        for (size_t i; (i = next++) < Files.size();) {
            try {
                counts[i] = TTextSource(Files[i]).PageCount();
            } catch (const std::exception& e) {
                openErrors[i] = e.what();
            }
        }
    };
    {
        std::vector<std::thread> pool;
        for (int j = 1; j < Jobs && size_t(j) < Files.size(); ++j)
            pool.emplace_back(countPages);
        countPages();
        for (std::thread& t : pool)
            t.join();
    }

    std::vector<TUnit> units;
    for (size_t f = 0; f < Files.size(); ++f) {
        if (!openErrors[f].empty() || counts[f] <= 0) {
            units.push_back({f, 1, 0, {}, false});
            continue;
        }
        for (int first = 1; first <= counts[f]; first += PagesPerUnit)
            units.push_back({f, first, std::min(counts[f], first + PagesPerUnit - 1), {}, false});
    }

    std::mutex lock;
    std::condition_variable ready;
    std::atomic<size_t> nextUnit{0};
    auto work = [&] {
        std::string openName;
        std::unique_ptr<TTextSource> source;
        for (size_t u; (u = nextUnit++) < units.size();) {
            TUnit& unit = units[u];
            TFileSearch& r = unit.Result;
            r.File = Files[unit.File];
            if (!openErrors[unit.File].empty()) {
                r.Error = openErrors[unit.File];
            } else if (unit.First <= unit.Last) {
                try {
                    // One source per file and worker: its walk along the
                    // chain goes on from where the last slice ended.
                    if (openName != r.File || !source) {
                        source.reset();
                        openName.clear();
                        source = std::make_unique<TTextSource>(r.File);
                        openName = r.File;
                    }
                    for (int p = unit.First; p <= unit.Last; ++p) {
                        // A damaged page is named and passed over; the pages
                        // behind it are still searched, from the same source.
                        try {
                            SearchPage(*source, p, Query, r);
                        } catch (const std::exception& e) {
                            if (r.Error.empty())
                                r.Error = e.what();
                        }
                    }
                } catch (const std::exception& e) {
                    r.Error = e.what();
                    source.reset();
                }
            }
            std::lock_guard<std::mutex> g(lock);
            unit.Ready = true;
            ready.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int j = 0; j < Jobs; ++j)
        pool.emplace_back(work);

    // Results go out in file order, each file once, slices merged.
    size_t u = 0;
    while (u < units.size()) {
        TFileSearch merged;
        const size_t file = units[u].File;
        for (; u < units.size() && units[u].File == file; ++u) {
            {
                std::unique_lock<std::mutex> g(lock);
                ready.wait(g, [&] { return units[u].Ready; });
            }
            TFileSearch& r = units[u].Result;
            merged.File = r.File;
            merged.Pages += r.Pages;
            merged.Bytes += r.Bytes;
            std::move(r.Hits.begin(), r.Hits.end(), std::back_inserter(merged.Hits));
            r.Hits.clear();
            if (merged.Error.empty())
                merged.Error = r.Error;
        }
        Done(merged);
    }
    for (std::thread& t : pool)
        t.join();
}
