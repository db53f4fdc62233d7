// SPDX-License-Identifier: GPL-3.0-or-later
// A file manager's thumbnail of page 1 of the 500-page report at 256 px,
// one qrptool process per file as the thumbnailer runs it, start included.
// Target: 100 ms a file. QRPTOOL picks the binary (default: this build's).
#include "printer/demoreport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr double TargetMs = 100;

int RunThumbnailer(const std::string& Tool, const std::string& Input, const std::string& Output)
{
    const char* argv[] = {Tool.c_str(), "thumbnail", "-s", "256", Input.c_str(), Output.c_str(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, Tool.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ThumbnailOf500PageReport(benchmark::State& State)
{
    QTemporaryDir dir;
    const std::string report = dir.filePath("sample-500.qrp").toStdString();
    SaveDemoReport(QString::fromStdString(report), 500);
    const char* env = std::getenv("QRPTOOL");
    const std::string tool = env && *env ? env : QRP_BINARY_DIR "/src/tools/qrptool";
    const std::string out = dir.filePath("thumb.png").toStdString();
    for (auto _ : State)
        if (RunThumbnailer(tool, report, out) != 0) {
            State.SkipWithError("qrptool thumbnail failed");
            return;
        }
    // The Time column is the wall time of one file.
    State.counters["target_ms"] = TargetMs;
}
BENCHMARK(BM_ThumbnailOf500PageReport)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
