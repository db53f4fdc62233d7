// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool search PATTERN FILE|FOLDER...: every line of text that matches, as
// FILE:PAGE: LINE; exit status as grep's.
#include "platform/emftext/textfold.h"
#include "archive/filenametext.h"
#include "archive/reporttext.h"
#include "tools/command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

int Run(const std::vector<std::string>& Args)
{
    unsigned fold = FoldNone;
    bool regex = false, json = false;
    int jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> plain;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (a == "-i")
            fold |= FoldCase;
        else if (a == "--ascii")
            fold |= FoldDiacritics;
        else if (a == "--regex")
            regex = true;
        else if (a == "--json")
            json = true;
        else if (a == "--jobs" && i + 1 < Args.size())
            jobs = CountOption("--jobs", Args[++i], 999);
        else if (a.size() > 1 && a[0] == '-' && plain.empty())
            throw UsageError{"unknown option \"" + a + "\""};
        else
            plain.push_back(a);
    }
    if (plain.size() < 2)
        throw UsageError{"expected a pattern and at least one file or folder"};
    std::unique_ptr<TTextQuery> query;
    try {
        query = std::make_unique<TTextQuery>(QString::fromStdString(plain[0]), fold, regex);
    } catch (const std::invalid_argument& e) {
        throw UsageError{e.what()};
    }
    const TFileWalk walk = TextSearchFiles({plain.begin() + 1, plain.end()});

    bool found = false, failed = !walk.Errors.empty();
    QJsonArray matches, errors;
    for (const auto& [file, error] : walk.Errors) {
        std::fprintf(stderr, "qrptool search: %s: %s\n", file.c_str(), error.c_str());
        if (json)
            errors.append(QJsonObject{{"file", FileNameText(file)}, {"error", FileNameText(error)}});
    }
    const std::vector<std::string>& files = walk.Files;
    SearchFiles(files, *query, jobs, [&](const TFileSearch& r) {
        if (!r.Error.empty()) {
            failed = true;
            std::fprintf(stderr, "qrptool search: %s: %s\n", r.File.c_str(), r.Error.c_str());
            if (json)
                errors.append(QJsonObject{{"file", FileNameText(r.File)}, {"error", FileNameText(r.Error)}});
        }
        for (const TTextHit& h : r.Hits) {
            found = true;
            if (json) {
                QJsonArray ranges;
                for (const auto& [start, length] : h.Matches)
                    ranges.append(QJsonArray{start, length});
                matches.append(QJsonObject{{"file", FileNameText(r.File)},
                                           {"page", h.Page},
                                           {"line", h.Line},
                                           {"matches", ranges}});
                continue;
            }
            const QByteArray line = h.Line.toUtf8();
            std::fprintf(stdout, "%s:%d: %s\n", r.File.c_str(), h.Page, line.constData());
        }
    });
    if (json) {
        const QByteArray doc =
            QJsonDocument(QJsonObject{{"matches", matches}, {"errors", errors}}).toJson(QJsonDocument::Indented);
        std::fwrite(doc.constData(), 1, size_t(doc.size()), stdout);
    }
    std::fflush(stdout);
    return failed ? 2 : found ? 0 : 1;
}

const ToolCommandRegistrar registrar(
    {"search", "search PATTERN FILE|FOLDER... [-i] [--ascii] [--regex] [--json] [--jobs N]", true, Run,
     QT_TRANSLATE_NOOP("qrptool",
                       "every line of the pages that matches, as FILE:PAGE: LINE; folders searched recursively")});

} // namespace
