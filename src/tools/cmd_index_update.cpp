// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool index update --db DB FOLDER...: brings the archive index in line
// with the reports under the folders; prints one summary line.
#include "archive/archiveindex.h"
#include "tools/command.h"
#include "tools/indexerrors.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> Interrupted{false};

// The first Ctrl+C ends the batch at hand, so that the next update carries
// on; a second one ends the process at once, whatever it waits for (SQLite's
// journal keeps the database whole, and the lock goes with the process).
void OnInterrupt(int)
{
    if (Interrupted.exchange(true))
        ::_exit(130);
}

int RunOnIndex(const std::vector<std::string>& Args)
{
    std::string db;
    TIndexUpdateOptions options;
    options.Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> folders;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (a == "--db" && i + 1 < Args.size())
            db = Args[++i];
        else if (a == "--jobs" && i + 1 < Args.size())
            options.Jobs = CountOption("--jobs", Args[++i], 999);
        else if (a == "--prune")
            options.Prune = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option \"" + a + "\""};
        else
            folders.push_back(a);
    }
    if (db.empty())
        throw UsageError{"expected --db ARCHIVE.db"};
    if (folders.empty())
        throw UsageError{"expected at least one folder"};

    TArchiveIndex index(db);
    int damaged = 0;
    const bool terminal = ::isatty(STDERR_FILENO);
    options.Damaged = [&](const std::string& File, const std::string& Error) {
        ++damaged;
        std::fprintf(stderr, "%sqrptool index update: %s: %s (skipped)\n", terminal ? "\r\033[K" : "", File.c_str(),
                     Error.c_str());
    };
    // Below what cannot be read, nothing is taken for gone.
    options.Unreadable = [&](const std::string& Path, const std::string& Error) {
        std::fprintf(stderr, "%sqrptool index update: %s: %s (left as it was in the index)\n",
                     terminal ? "\r\033[K" : "", Path.c_str(), Error.c_str());
    };
    options.EmptyFolder = [&](const std::string& Folder, int64_t Reports) {
        std::fprintf(stderr,
                     "%sqrptool index update: %s: holds no reports now; its %lld in the index are kept "
                     "(--prune drops them)\n",
                     terminal ? "\r\033[K" : "", Folder.c_str(), static_cast<long long>(Reports));
    };
    if (terminal) {
        options.Progress = [](size_t Done, size_t Total) { std::fprintf(stderr, "\r%zu/%zu reports", Done, Total); };
        options.Waiting = [&] {
            std::fprintf(stderr, "qrptool index update: %s: waiting for another update to finish\n", db.c_str());
        };
    }
    options.Stop = &Interrupted;
    struct sigaction action = {}, previousInt = {}, previousTerm = {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    const TIndexUpdateStats s = index.Update(folders, options);
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    const std::string unreadable = s.Unreadable ? ", unreadable " + std::to_string(s.Unreadable) : "";
    std::printf("%sadded %d, updated %d, removed %d, unchanged %d, damaged %d%s (%lld pages indexed)\n",
                Interrupted ? "interrupted: " : "", s.Added, s.Updated, s.Removed, s.Unchanged, s.Damaged,
                unreadable.c_str(), static_cast<long long>(s.Pages));
    std::fflush(stdout);
    return Interrupted ? 130 : damaged || s.Unreadable ? 2 : 0;
}

// Reading the text of a page needs Qt's fonts.
int Run(const std::vector<std::string>& Args)
{
    return RunNamingTheIndex(Args, RunOnIndex);
}

const ToolCommandRegistrar registrar(
    {"index update", "index update --db ARCHIVE.db|URI FOLDER... [--jobs N] [--prune]", true, Run,
     QT_TRANSLATE_NOOP(
         "qrptool",
         "adds new reports to the archive index, indexes changed ones again and drops removed ones; "
         "damaged ones are skipped and named, and so are folders and files that cannot be read, whose reports "
         "stay indexed; exit status 2 when some were. A folder that is empty now keeps its reports unless --prune")});

} // namespace
