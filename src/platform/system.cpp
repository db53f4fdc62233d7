// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system.h"
#include "platform/errors.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/time.h>
#include <unistd.h>

std::string GetTempPath()
{
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string GetTempFileName(const std::string& Dir, const std::string& Prefix)
{
    // Start from a random point so that two processes rarely collide; O_EXCL
    // settles the collisions that remain.
    static std::atomic<unsigned> counter{std::random_device{}()};
    int lastErr = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", counter.fetch_add(1) & 0xFFFFFFu);
        const std::string name = Dir + "/" + Prefix + hex + ".TMP";
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        lastErr = errno;
        if (lastErr != EEXIST)
            break;
    }
    throw EFCreateError("Cannot create a temporary file in \"" + Dir + "\". " + std::strerror(lastErr));
}

double Now()
{
    struct timeval tv;
    ::gettimeofday(&tv, nullptr);
    const time_t secs = tv.tv_sec;
    struct tm local;
    ::localtime_r(&secs, &local);
    // Days from 1899-12-30 to 1970-01-01 are 25569.
    const time_t localSecs = secs + local.tm_gmtoff;
    const double days = static_cast<double>(localSecs / 86400) + 25569.0;
    const double frac = (static_cast<double>(localSecs % 86400) + tv.tv_usec / 1e6) / 86400.0;
    return days + frac;
}
