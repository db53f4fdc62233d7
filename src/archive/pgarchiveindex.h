// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The archive index on a PostgreSQL server, for an office that shares one:
// one updater (or several, on different machines), many readers. Pages are
// stored once, as text; each has three tsvectors made from the folded text
// (exact words, words without diacritics, Turkish stems), all with GIN
// indexes. Reached through TArchiveIndex when --db is a postgresql:// URI or
// service=NAME.
#include "archive/archiveengine.h"

#include <atomic>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_cancel PGcancel;

// The schema this build writes; older ones are brought up to it by ForUpdate.
const int PgArchiveSchemaVersion = 3;

class TPgArchiveIndex : public TArchiveEngine {
public:
    // Connects; ForUpdate creates or migrates the schema, ReadOnly wants it
    // there and changes nothing. Throws EArchiveIndex naming the server
    // (without a password).
    TPgArchiveIndex(const std::string& Conninfo, bool ReadOnly);
    ~TPgArchiveIndex() override;
    TPgArchiveIndex(const TPgArchiveIndex&) = delete;
    TPgArchiveIndex& operator=(const TPgArchiveIndex&) = delete;

    TIndexUpdateStats Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options) override;
    std::vector<TIndexHit> Query(const QString& Text, unsigned Fold, int Limit,
                                 const std::function<bool()>& Cancelled) override;
    void Interrupt() override;
    int64_t PageCount() override;
    int SchemaVersion();
    // Whether this connection's role may change the index.
    bool CanWrite() override;
    bool OnServer() const override { return true; }

private:
    void CreateOrMigrate();
    std::string Name() const;

    std::string FConninfo;
    PGconn* FConn = nullptr;
    PGcancel* FCancel = nullptr;
    std::atomic<bool> FInterrupted{false};
};

// True for a --db value that names a server rather than a file.
bool IsServerIndex(const std::string& Db);
// The connection string without its password, to name it in messages.
std::string ServerIndexName(const std::string& Conninfo);

// A query in the index's syntax (see TArchiveIndex::Query) as a tsquery, its
// words folded by Fold; Terms gets them. Lexemes, when given, turns a word
// into the lexemes that stand for it (any of them matches). Throws as
// ArchiveFtsMatch does. Exposed for the tests.
QString ArchiveTsQuery(const QString& Text, unsigned Fold, std::vector<struct TArchiveTerm>* Terms,
                       const std::function<QStringList(const QString&)>& Lexemes = {});
