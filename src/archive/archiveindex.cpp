// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archiveindex.h"

#include "archive/archiveengine.h"
#include "archive/pgarchiveindex.h"
#include "archive/sqlitearchiveindex.h"

TArchiveIndex::TArchiveIndex(const std::string& DbFile, TMode Mode)
{
    if (IsServerIndex(DbFile))
        FEngine = std::make_unique<TPgArchiveIndex>(DbFile, Mode == ReadOnly);
    else
        FEngine = std::make_unique<TSqliteArchiveIndex>(DbFile, Mode == ReadOnly);
}

TArchiveIndex::~TArchiveIndex() = default;

TIndexUpdateStats TArchiveIndex::Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options)
{
    return FEngine->Update(Folders, Options);
}

std::vector<TIndexHit> TArchiveIndex::Query(const QString& Text, unsigned Fold, int Limit,
                                            const std::function<bool()>& Cancelled)
{
    return FEngine->Query(Text, Fold, Limit, Cancelled);
}

void TArchiveIndex::Interrupt()
{
    FEngine->Interrupt();
}

int64_t TArchiveIndex::PageCount()
{
    return FEngine->PageCount();
}

bool TArchiveIndex::OnServer() const
{
    return FEngine->OnServer();
}

bool TArchiveIndex::CanWrite()
{
    return FEngine->CanWrite();
}
