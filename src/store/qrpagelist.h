// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pages of one report as chained records in a page stream, in the QRP
// report file format; pages are read one at a time on demand.
#include "platform/metafile.h"
#include "store/qrstream.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TMemoryStream;

struct THyperlink {
    THyperlink() = default;
    THyperlink(const EmfRect& aArea, std::string aLink) : Area(aArea), Link(std::move(aLink)) {}
    EmfRect Area;
    std::string Link; // UTF-8
};

class TQRPageList {
public:
    TQRPageList();
    ~TQRPageList();
    TQRPageList(const TQRPageList&) = delete;
    TQRPageList& operator=(const TQRPageList&) = delete;

    // Resets the count only; the stream stays.
    void Clear();
    void LockList() { FLock.lock(); }
    void UnlockList() { FLock.unlock(); }

    // Opens the file in place and reads its header and the first record;
    // the rest of the chain is checked as far as the pages fetched, so a
    // broken chain throws EQRDamagedReport when a page behind the break is
    // asked for. Throws EFOpenError when the file holds no report at all.
    void LoadFromFile(const std::string& Filename);
    // The same for a report read in place from a stream made by
    // TQRStream::CreateFromFile or CreateFromSource.
    void LoadInPlace(std::unique_ptr<TQRStream> Stream);
    // Copies the whole of inStream into a new in-memory page stream.
    void LoadFromStream(TMemoryStream& inStream);
    // Replaces Filename only once the whole report is written.
    void SaveToFile(const std::string& Filename);
    void SaveToStream(TStream& inStream);
    // SaveToFile for a list about to be freed: a stream that lives in its
    // own temporary file is renamed into place rather than copied. The list
    // is left without a stream.
    void MoveToFile(const std::string& Filename);

    // A new page owned by the caller; nullptr outside 1..PageCount.
    std::unique_ptr<TMetafile> GetPage(int32_t PageNumber);
    // For records written by AddPageEx. AHyperlinks is empty (nullptr) when
    // the record has none or the page is compressed.
    void GetPageEx(int32_t PageNumber, std::unique_ptr<TMetafile>& AMetafile,
                   std::unique_ptr<std::vector<THyperlink>>& AHyperlinks);
    // Page N's EMF header, read without the page's drawing (a compressed
    // page is still expanded to the end of its code, into a small block, so
    // that damage behind the header is found as GetPage finds it). False
    // outside 1..PageCount; the same errors as GetPage.
    bool GetPageHeader(int32_t PageNumber, EmfHeader& Header);
    void AddPage(const TMetafile& aMetafile);
    void AddPageEx(const TMetafile& aMetafile, const std::vector<THyperlink>* AHyperlinks);
    // Outlines are not stored in report files.
    void AddOutline(int Level, const std::string& Caption, const EmfRect& Target, int PageNumber);
    // Rewrites the header with the final page count.
    void Finish();

    // Counts the records by walking the chain from the first until the data
    // ends or no longer begins the next record; for header layouts that
    // carry no page count.
    int32_t CountRecords();
    // Bytes behind the last page record of a loaded report: padding that
    // mail gateways and old file systems add, which the pages ignore. Walks
    // the chain to its end when no fetch has yet; throws EQRDamagedReport
    // as GetPage of the last page would.
    int32_t TrailingBytes();

    bool Compression() const { return FCompression; }
    void SetCompression(bool Value) { FCompression = Value; }
    int32_t PageCount() const { return FPageCount; }
    void SetPageCount(int32_t Value) { FPageCount = Value; }
    TQRStream* Stream() const { return FStream.get(); }
    void SetStream(std::unique_ptr<TQRStream> Value);
    // Hands the stream over to a new owner; the list is left without one.
    std::unique_ptr<TQRStream> TakeStream();

    // Of the last header read: its size, and its creation time in days since
    // 30 December 1899 (0 when that layout keeps none).
    int32_t HeaderSize();
    double CreationTime() const { return FCreationTime; }

private:
    struct TRecord {
        int32_t Start = 0;
        int32_t Number = 0;
        int32_t Next = 0;
    };

    void ReadFileHeader();
    void WriteFileHeader();
    void CheckFirstRecord();
    void StepForward(TRecord& Record, int32_t Size);
    void StepBack(TRecord& Record, int32_t Size);
    bool StartsRecord(int32_t Start, int32_t Number, int32_t Size);
    int32_t DataEnd() const;
    TRecord GotoPage(int32_t N);
    TRecord ReadRecord(int32_t Start, int32_t Size);
    void NoteRecord(const TRecord& Record);
    void ExpectNumber(const TRecord& Record, int32_t Number) const;
    void CheckStream() const;
    void ForgetPosition();
    std::unique_ptr<TMetafile> ReadPageData(const TRecord& Record,
                                            std::unique_ptr<std::vector<THyperlink>>* AHyperlinks);
    EmfHeader ReadPageHeader(const TRecord& Record);
    int32_t ReadExpandedLength(TStream& Data, const std::string& Page) const;
    void CheckBackPointer(const TRecord& Record, const std::string& Page);
    void AppendRecord(const TMetafile& aMetafile, const std::vector<THyperlink>* AHyperlinks, bool Extended);
    [[noreturn]] void Damaged(const std::string& What) const;
    std::string Name() const;

    std::recursive_mutex FLock;
    bool FCompression = false;
    int32_t FPageCount = 0;
    std::unique_ptr<TQRStream> FStream;
    int32_t FHeaderSize = -1;
    bool FHeaderKeepsCount = false;
    bool FHeaderMarked = false;
    // End of the last record once the chain was walked; -1: the stream's end.
    int32_t FDataEnd = -1;
    // Starts of the records the walk has checked so far, so that any page
    // already passed is reached in one step; bounded, past that the chain is
    // walked as usual.
    std::vector<int32_t> FRecordStarts;
    // The record the last fetch reached; where a walk past the index goes on.
    TRecord FCursor;
    double FCreationTime = 0;
};
