// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What TArchiveIndex asks of an engine (an SQLite file or a PostgreSQL
// server), and the update both engines run: the folder walk, the readers on
// worker threads and the batches on the writing thread are one piece of
// code; an engine gives only its statements (TIndexWriter).
#include "archive/archiveindex.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Matches ranked at most in one query, the newest ones: words found on most
// pages of a large archive would otherwise cost a ranking of all of them.
// Both engines use the same window so that they rank the same pages. On a
// server each page ranked is its words read from the table, so the window
// is what a query on common words costs there (about 70 ms for 2,000 at a
// million pages, 400-900 ms for 10,000).
const int ArchiveRankWindow = 2000;

class TArchiveEngine {
public:
    virtual ~TArchiveEngine() = default;
    virtual TIndexUpdateStats Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options) = 0;
    virtual std::vector<TIndexHit> Query(const QString& Text, unsigned Fold, int Limit,
                                         const std::function<bool()>& Cancelled) = 0;
    virtual void Interrupt() = 0;
    virtual int64_t PageCount() = 0;
    virtual bool CanWrite() = 0;
    virtual bool OnServer() const = 0;
};

// A report as the index has it.
struct TIndexedReport {
    int64_t Id = 0, Size = 0, Time = 0;
    std::string Hash;
};

struct TOnDisk {
    int64_t Size = 0, Time = 0;
};

// What a worker found out about one file.
struct TReportText {
    size_t Index = 0;
    std::string Hash;
    bool SameContent = false; // hash as indexed when the update began
    bool Unreadable = false;  // Error says why it could not be read; its row stays
    std::string Error;        // else why its content is damaged
    std::vector<QString> Pages;
    // Made by the engine on the worker (TIndexWriter::Prepare), so that the
    // one writing thread only writes: the folded text per page, as the
    // engine indexes it (exact words, words without diacritics), and the
    // page text as it is stored, with what that was made with (StoredWith).
    std::vector<std::string> Words, Plain;
    std::vector<QByteArray> Stored;
    QByteArray StoredWith;
};

// The statements of one engine for RunIndexUpdate. All but Prepare are
// called on the writing thread; Remove, Current, Drop, Touch and Write
// between Begin and Commit (or Rollback).
class TIndexWriter {
public:
    virtual ~TIndexWriter() = default;
    // Every report in the index, by path.
    virtual std::map<std::string, TIndexedReport> Indexed() = 0;
    // On a worker thread, once Pages are read: whatever Write needs made ahead.
    virtual void Prepare(TReportText& Text) = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    // Called also after a failure outside a transaction; throws nothing.
    virtual void Rollback() = 0;
    // Drops reports gone from their folders; how many were dropped.
    virtual int Remove(const std::vector<std::pair<std::string, TIndexedReport>>& Gone) = 0;
    // The report's row as it is now, taking whatever lock it needs: another
    // updater may have written it since Indexed().
    virtual std::optional<TIndexedReport> Current(const std::string& File, const TIndexedReport* AtStart) = 0;
    virtual void Drop(const TIndexedReport& Row) = 0;
    virtual void Touch(const TIndexedReport& Row, const TOnDisk& Disk) = 0;
    // Adds the report (Row null) or replaces its pages.
    virtual void Write(const std::string& File, const TIndexedReport* Row, const TOnDisk& Disk,
                       const TReportText& Text) = 0;
};

// The folders as absolute paths; throws EArchiveIndex for one that is not
// there: an unmounted share must not read as an archive whose reports are all gone.
std::vector<std::string> IndexUpdateRoots(const std::vector<std::string>& Folders);

// Brings the index in line with the reports under Roots (see TArchiveIndex::Update).
TIndexUpdateStats RunIndexUpdate(const std::vector<std::string>& Roots, TIndexWriter& Writer,
                                 const TIndexUpdateOptions& Options);
