// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archivepathmap.h"

#include <algorithm>

namespace {

// "/" stays itself: it is the prefix of every path.
QString WithoutTrailingSlash(QString Path)
{
    while (Path.size() > 1 && Path.endsWith(u'/'))
        Path.chop(1);
    return Path;
}

bool UnderPrefix(const QString& Path, const QString& Prefix)
{
    if (!Path.startsWith(Prefix))
        return false;
    return Path.size() == Prefix.size() || Prefix.endsWith(u'/') || Path[Prefix.size()] == u'/';
}

} // namespace

TArchivePathMap::TArchivePathMap(const std::vector<TPair>& Pairs)
{
    for (const TPair& p : Pairs) {
        const QString server = WithoutTrailingSlash(p.Server.trimmed());
        const QString local = WithoutTrailingSlash(p.Local.trimmed());
        if (!server.isEmpty() && !local.isEmpty())
            FPairs.push_back({server, local});
    }
}

const TArchivePathMap::TPair* TArchivePathMap::Find(const QString& ServerPath) const
{
    const TPair* best = nullptr;
    for (const TPair& p : FPairs)
        if (UnderPrefix(ServerPath, p.Server) && (!best || p.Server.size() > best->Server.size()))
            best = &p;
    return best;
}

bool TArchivePathMap::Maps(const QString& ServerPath) const
{
    return Find(ServerPath) != nullptr;
}

bool TArchivePathMap::IsLocalSide(const QString& LocalPath) const
{
    return std::any_of(FPairs.begin(), FPairs.end(), [&](const TPair& p) { return UnderPrefix(LocalPath, p.Local); });
}

QString TArchivePathMap::ToLocal(const QString& ServerPath) const
{
    const TPair* p = Find(ServerPath);
    if (!p)
        return ServerPath;
    QString rest = ServerPath.mid(p->Server.size());
    if (p->Server == u"/" && !rest.isEmpty())
        rest.prepend(u'/');
    if (p->Local.endsWith(u'/') && rest.startsWith(u'/'))
        rest.remove(0, 1);
    return p->Local + rest;
}
