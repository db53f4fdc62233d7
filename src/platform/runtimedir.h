// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt looks into the per-user runtime folder ($XDG_RUNTIME_DIR) while it
// starts. Where the session gives none (cron, sudo, CI), Qt warns on standard
// error and leaves a "runtime-$USER" folder in the temporary folder. A
// program that holds this object gets a private runtime folder instead, which
// goes with everything in it when the object goes.
#include <string>

class TPrivateRuntimeDir {
public:
    TPrivateRuntimeDir();
    ~TPrivateRuntimeDir();
    TPrivateRuntimeDir(const TPrivateRuntimeDir&) = delete;
    TPrivateRuntimeDir& operator=(const TPrivateRuntimeDir&) = delete;

    // Removes the folder now and keeps the variable: Qt looks into it while
    // it starts, and makes it again should it need it later. A process
    // killed after this leaves nothing behind.
    void Vacate();

    // Empty when the session already had a runtime folder.
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
