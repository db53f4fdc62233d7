// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"

#include <sys/mman.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int InputDescriptor()
{
    static const int fd = memfd_create("qrp-fuzz-input", 0);
    if (fd < 0)
        FuzzFinding("memfd_create failed");
    return fd;
}

} // namespace

std::string FuzzInputFile(const uint8_t* Data, size_t Size)
{
    const int fd = InputDescriptor();
    if (ftruncate(fd, 0) != 0)
        FuzzFinding("cannot truncate the input file");
    size_t done = 0;
    while (done < Size) {
        const ssize_t n = pwrite(fd, Data + done, Size - done, static_cast<off_t>(done));
        if (n <= 0)
            FuzzFinding("cannot write the input file");
        done += static_cast<size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

void SilenceStdout()
{
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

void FuzzFinding(const char* What)
{
    std::fprintf(stderr, "fuzz finding: %s\n", What);
    std::abort();
}
