// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The archive index in one SQLite file, the embedded engine: one FTS5 row
// per page (contentless; the text is kept once, compressed, in pages). The
// text is folded before indexing (Turkish i's, and without diacritics in a
// second column) and queries are folded the same way, since SQLite's own
// folding keeps ı apart from i.
#include "archive/archiveengine.h"

#include <QByteArray>

#include <atomic>
#include <mutex>
#include <string>

struct sqlite3;

class TSqliteArchiveIndex : public TArchiveEngine {
public:
    // Opens the file, or creates it unless ReadOnly. Throws EArchiveIndex
    // naming the file, also for one that is not an archive index (which is
    // left as it was).
    TSqliteArchiveIndex(const std::string& File, bool ReadOnly);
    ~TSqliteArchiveIndex() override;

    TIndexUpdateStats Update(const std::vector<std::string>& Folders, const TIndexUpdateOptions& Options) override;
    std::vector<TIndexHit> Query(const QString& Text, unsigned Fold, int Limit,
                                 const std::function<bool()>& Cancelled) override;
    void Interrupt() override;
    int64_t PageCount() override;
    // A file opened ForUpdate may always be written; one opened ReadOnly fails at the first write.
    bool CanWrite() override { return true; }
    bool OnServer() const override { return false; }

private:
    friend class TSqliteWriter;
    void CreateTables();
    QByteArray StoredDictionary();
    bool PageText(const void* Data, int Size, QString& Text);

    std::string FFile;
    sqlite3* FDb = nullptr;
    std::atomic<bool> FInterrupted{false};
    // What page texts are deflated against; empty until the first report
    // with text is indexed. Read by the update's workers, under FDictionaryLock.
    QByteArray FDictionary;
    std::mutex FDictionaryLock;
};
