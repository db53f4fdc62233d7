// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shared index names reports by the paths the server's updater saw
// (/srv/raporlar/...); this machine may see the same share elsewhere
// (/mnt/raporlar/...). Each user keeps pairs of prefixes to carry a hit's
// path over to the local copy.
#include <QString>

#include <utility>
#include <vector>

class TArchivePathMap {
public:
    struct TPair {
        QString Server, Local;
        bool operator==(const TPair& Other) const { return Server == Other.Server && Local == Other.Local; }
    };

    TArchivePathMap() = default;
    // Pairs with an empty side are dropped; trailing slashes do not count.
    explicit TArchivePathMap(const std::vector<TPair>& Pairs);

    const std::vector<TPair>& Pairs() const { return FPairs; }
    bool IsEmpty() const { return FPairs.empty(); }

    // The local path for a path of the index. The longest server prefix that
    // ends at a folder boundary wins ("/srv/r" never maps "/srv/rapor/x");
    // a path under no prefix comes back as it is.
    QString ToLocal(const QString& ServerPath) const;
    // Whether some pair applies to ServerPath.
    bool Maps(const QString& ServerPath) const;
    // Whether LocalPath lies under a local side: a path the server's
    // updater would not know.
    bool IsLocalSide(const QString& LocalPath) const;

private:
    const TPair* Find(const QString& ServerPath) const;

    std::vector<TPair> FPairs;
};
