// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/indexlock.h"

#include "archive/archiveindex.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

TIndexLock::TIndexLock(const std::string& DbFile, const std::atomic<bool>* Stop, const std::function<void()>& Waiting)
{
    const std::string name = FileFor(DbFile);
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        throw EArchiveIndex(name + ": " + std::strerror(errno));
    bool told = false;
    // Polled rather than blocking, so that an interruption is seen while waiting.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw EArchiveIndex(name + ": " + std::strerror(error));
        }
        if (Stop && *Stop) {
            ::close(fd);
            return;
        }
        if (!told && Waiting)
            Waiting();
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    FFd = fd;
}

TIndexLock::~TIndexLock()
{
    if (FFd >= 0)
        ::close(FFd); // drops the lock
}
