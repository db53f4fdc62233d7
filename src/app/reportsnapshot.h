// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report a window shows, as it was when it was opened: a private copy
// of the user's file that the window's document reads, and the identity of
// the file at that moment. A reporting program that later rewrites the file
// in place then changes neither the pages shown nor the pages printed; the
// window can tell that the file moved on and offer to read it again.
#include <QString>

#include <memory>
#include <optional>

#include <sys/types.h>

class TQRPrinter;

struct TFileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    long long ModifiedSeconds = 0;
    long ModifiedNanoseconds = 0;
    bool operator==(const TFileIdentity& Other) const;
    bool operator!=(const TFileIdentity& Other) const { return !(*this == Other); }
    // The same file, whatever has been written to it since.
    bool SameFile(const TFileIdentity& Other) const { return Device == Other.Device && Inode == Other.Inode; }
};

// What FileName names now; nothing when it cannot be reached.
std::optional<TFileIdentity> CurrentFileIdentity(const QString& FileName);

class TReportSnapshot {
public:
    // Copies FileName into a private temporary file (a very large one is
    // read in place instead, see InPlace); throws EFOpenError naming
    // FileName when it cannot be read or is not a regular file.
    explicit TReportSnapshot(const QString& FileName);
    // Deletes the copy if it is still there.
    ~TReportSnapshot();
    TReportSnapshot(const TReportSnapshot&) = delete;
    TReportSnapshot& operator=(const TReportSnapshot&) = delete;

    const QString& FileName() const { return FFileName; }
    const QString& CopyName() const { return FCopyName; }
    const TFileIdentity& Identity() const { return FIdentity; }
    // No copy was taken: the document reads the user's file itself, so a
    // file changed on disk must be loaded again before it is printed.
    bool InPlace() const { return FInPlace; }
    // The file on disk is no longer the one copied: rewritten, replaced,
    // or gone.
    bool ChangedOnDisk() const;
    // Removes the copy's name; a document that opened it keeps reading it.
    void Unlink();

private:
    QString FFileName;
    QString FCopyName;
    TFileIdentity FIdentity;
    // The name is given back once; another program may take it after that.
    bool FLinked = true;
    bool FInPlace = false;
};

// Loads FileName (a report or a single EMF) into Document through a
// snapshot and returns it. Document's file name is FileName, so links and
// export names refer to the user's file. A failure leaves no copy behind
// and its message names FileName.
std::unique_ptr<TReportSnapshot> LoadReportSnapshot(TQRPrinter& Document, const QString& FileName);

// Text for the user: private copies named in a message become the names
// of the files they were taken from.
QString WithUserFileNames(QString Text);
