// qrptool index update --db DB FOLDER...: brings the archive index in line
// with the reports under the folders; prints one summary line.
#include "printer/archiveindex/archiveindex.h"
#include "tools/command.h"

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

void OnInterrupt(int)
{
    Interrupted = true;
}

int Run(const std::vector<std::string>& Args)
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
    if (terminal)
        options.Progress = [](size_t Done, size_t Total) { std::fprintf(stderr, "\r%zu/%zu reports", Done, Total); };
    // Ctrl+C ends the batch at hand, so that the next update carries on.
    options.Continue = [] { return !Interrupted; };
    struct sigaction action = {}, previous = {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &previous);
    sigaction(SIGTERM, &action, nullptr);
    const TIndexUpdateStats s = index.Update(folders, options);
    sigaction(SIGINT, &previous, nullptr);
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    std::printf("%sadded %d, updated %d, removed %d, unchanged %d, damaged %d (%lld pages indexed)\n",
                Interrupted ? "interrupted: " : "", s.Added, s.Updated, s.Removed, s.Unchanged, s.Damaged,
                static_cast<long long>(s.Pages));
    std::fflush(stdout);
    return Interrupted ? 130 : damaged ? 2 : 0;
}

// Reading the text of a page needs Qt's fonts.
const ToolCommandRegistrar registrar(
    {"index update", "index update --db ARCHIVE.db FOLDER... [--jobs N]", true, Run,
     "adds new reports to the archive index, indexes changed ones again and drops removed ones; "
     "damaged ones are skipped and named; exit status 2 when some were"});

} // namespace
