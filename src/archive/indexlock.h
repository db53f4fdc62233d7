// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One update of an index at a time: two would read the same rows, add the
// same reports and fail on the second, or interleave their batches. SQLite's
// own locks last one transaction; this one lasts the whole update. It is an
// flock on a file beside the database, never on the database itself, whose
// POSIX locks SQLite owns (closing any descriptor of it would drop them).
#include <atomic>
#include <functional>
#include <string>

class TIndexLock {
public:
    // Takes the lock of DbFile, waiting for the update that holds it;
    // Waiting is called once if it has to. Throws EArchiveIndex when the lock
    // file cannot be made. Taken() is false when Stop was set while waiting.
    TIndexLock(const std::string& DbFile, const std::atomic<bool>* Stop, const std::function<void()>& Waiting);
    ~TIndexLock();
    TIndexLock(const TIndexLock&) = delete;
    TIndexLock& operator=(const TIndexLock&) = delete;

    bool Taken() const { return FFd >= 0; }
    static std::string FileFor(const std::string& DbFile) { return DbFile + "-lock"; }

private:
    int FFd = -1;
};
