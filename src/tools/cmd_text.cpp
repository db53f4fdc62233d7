// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool text FILE [--pages A-B]: the text of each page in reading order,
// pages ended by a form feed. With --jsonl, one JSON object per page of
// every report under the given files and folders, for a search server.
#include "platform/emftext/textfold.h"
#include "platform/metafile.h"
#include "archive/filenametext.h"
#include "archive/reporttext.h"
#include "store/orderedpages.h"
#include "tools/command.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

int PageArgument(const std::string& Text)
{
    if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(Text) < 1)
        throw UsageError{"--pages wants page numbers from 1 on, not \"" + Text + "\""};
    return std::stoi(Text);
}

// The text of pages First..Last of File, decoded on Jobs threads and
// handed to Write in page order; stops at a page the source does not have.
void ForEachPageText(std::unique_ptr<TTextSource> Source, const std::string& File, int First, int Last, int Jobs,
                     const std::function<void(int, const QString&)>& Write)
{
    using Text = std::optional<QString>;
    ForEachPageInOrder<TTextSource, Text>(
        First, Last, Jobs, std::move(Source), [&] { return std::make_unique<TTextSource>(File); },
        [](TTextSource& Source, int N) -> Text {
            const std::unique_ptr<TMetafile> page = Source.Page(N);
            if (!page)
                return std::nullopt;
            return EmfLinesText(EmfPageLines(*page, false));
        },
        [&](int N, Text& PageText) {
            if (!PageText)
                return false;
            Write(N, *PageText);
            return true;
        });
}

// One line per page: path, page, text, folded text (case and diacritics)
// and the file's modification time; damaged files named on stderr.
int RunJsonLines(const std::vector<std::string>& Paths, int Jobs)
{
    if (Paths.empty())
        throw UsageError{"expected reports, EMF files or folders"};
    const TFileWalk walk = TextSearchFiles(Paths);
    bool failed = !walk.Errors.empty();
    for (const auto& [file, error] : walk.Errors)
        std::fprintf(stderr, "qrptool text: %s: %s\n", file.c_str(), error.c_str());
    for (const std::string& file : walk.Files) {
        try {
            // The name stays bytes up to the JSON text, so that a name in another
            // encoding still names its file and keeps an id of its own.
            const std::string bytes = std::filesystem::absolute(file).lexically_normal().string();
            struct stat st;
            if (::stat(bytes.c_str(), &st) != 0)
                throw std::runtime_error(std::strerror(errno));
            const QString path = FileNameText(bytes), key = FileNameKey(bytes);
            const QString time = QDateTime::fromSecsSinceEpoch(st.st_mtime, Qt::UTC).toString(Qt::ISODate);
            auto source = std::make_unique<TTextSource>(file);
            const int pages = source->PageCount();
            ForEachPageText(std::move(source), file, 1, pages, Jobs, [&](int p, const QString& text) {
                const QByteArray line = QJsonDocument(QJsonObject{{"id", key + u':' + QString::number(p)},
                                                                  {"path", path},
                                                                  {"page", p},
                                                                  {"text", text},
                                                                  {"folded", FoldText(text, FoldCase | FoldDiacritics)},
                                                                  {"mtime", time}})
                                            .toJson(QJsonDocument::Compact);
                std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
                std::fputc('\n', stdout);
            });
        } catch (const std::exception& e) {
            failed = true;
            std::fprintf(stderr, "qrptool text: %s: %s\n", file.c_str(), e.what());
        }
    }
    return std::fflush(stdout) != 0 ? 1 : failed ? 2 : 0;
}

int Run(const std::vector<std::string>& AllArgs)
{
    // Pages are decoded on this many threads; the output stays in page order.
    int jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> Args;
    for (size_t i = 0; i < AllArgs.size(); ++i) {
        if (AllArgs[i] == "--jobs" && i + 1 < AllArgs.size())
            jobs = CountOption("--jobs", AllArgs[++i], 999);
        else
            Args.push_back(AllArgs[i]);
    }
    if (std::find(Args.begin(), Args.end(), "--jsonl") != Args.end()) {
        std::vector<std::string> paths;
        for (const std::string& a : Args)
            if (a != "--jsonl")
                paths.push_back(a);
        return RunJsonLines(paths, jobs);
    }
    std::string file;
    int first = 1, last = 0;
    for (size_t i = 0; i < Args.size(); ++i) {
        if (Args[i] == "--pages" && i + 1 < Args.size()) {
            const std::string range = Args[++i];
            const size_t dash = range.find('-');
            first = dash == 0 ? 1 : PageArgument(range.substr(0, dash));
            last = dash == std::string::npos ? first
                 : dash + 1 == range.size()  ? 0
                                             : PageArgument(range.substr(dash + 1));
            if (last && last < first)
                throw UsageError{"--pages " + range + " is an empty range"};
        } else if (Args[i].rfind("--", 0) == 0 || !file.empty()) {
            throw UsageError{"unexpected argument \"" + Args[i] + "\""};
        } else {
            file = Args[i];
        }
    }
    if (file.empty())
        throw UsageError{"expected a report or EMF file"};
    // Opening a FIFO would block and a device may never end: refused by type.
    std::error_code ec;
    const std::filesystem::file_status type = std::filesystem::status(file, ec);
    if (std::filesystem::exists(type) && !std::filesystem::is_regular_file(type) &&
        !std::filesystem::is_directory(type))
        throw std::runtime_error(file + ": not a regular file");
    auto source = std::make_unique<TTextSource>(file);
    if (!last || last > source->PageCount())
        last = source->PageCount();
    ForEachPageText(std::move(source), file, first, last, jobs, [](int, const QString& Text) {
        const QByteArray text = Text.toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputc('\f', stdout);
    });
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Glyph indices are read back through installed faces, which needs Qt's fonts.
const ToolCommandRegistrar registrar(
    {"text", "text REPORT.qrp|PAGE.emf [--pages A-B] [--jobs N] | --jsonl FILE|FOLDER... [--jobs N]", true, Run,
     QT_TRANSLATE_NOOP(
         "qrptool",
         "the text of each page in reading order, pages ended by a form feed; --jsonl: one JSON object a page")});

} // namespace
