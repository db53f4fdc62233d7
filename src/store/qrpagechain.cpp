// SPDX-License-Identifier: GPL-3.0-or-later
// The walk along the chain of page records, which trusts no offset or
// number it reads: every step must move to a record inside the data whose
// number is one more or one less than the last, so a damaged file ends the
// walk with a message instead of a loop or a read outside the data.
#include "store/qrdamagedreport.h"
#include "platform/littleendian.h"
#include "store/qrpagelist.h"

#include <cstdlib>

namespace {

class TPositionKeeper {
public:
    explicit TPositionKeeper(TStream& Stream) : FStream(Stream), FPosition(Stream.Position()) {}
    ~TPositionKeeper() { FStream.SetPosition(FPosition); }

private:
    TStream& FStream;
    int32_t FPosition;
};

std::string AtOffset(int64_t Value)
{
    return " at offset " + std::to_string(Value);
}

} // namespace

TQRPageList::TRecord TQRPageList::ReadRecord(int32_t Start, int32_t Size)
{
    // A record is at least its number, its next-record offset and its back
    // pointer: 12 bytes.
    if (Start < HeaderSize() || int64_t(Start) + 12 > Size)
        Damaged("a page record would start" + AtOffset(Start) + ", outside the file's " + std::to_string(Size) +
                " bytes");
    FStream->SetPosition(Start);
    uint8_t head[8];
    FStream->ReadBuffer(head, 8);
    TRecord r;
    r.Start = Start;
    r.Number = static_cast<int32_t>(GetLE32(head));
    r.Next = static_cast<int32_t>(GetLE32(head + 4));
    if (int64_t(r.Next) < int64_t(Start) + 12 || r.Next > Size)
        Damaged("page record " + std::to_string(r.Number) + AtOffset(Start) + " gives its end as offset " +
                std::to_string(r.Next) + ", outside the file's " + std::to_string(Size) + " bytes");
    return r;
}

void TQRPageList::NoteRecord(const TRecord& Record)
{
    constexpr size_t MaxIndexedRecords = size_t(1) << 22; // 16 MB of offsets
    if (Record.Number - 1 == static_cast<int64_t>(FRecordStarts.size()) && FRecordStarts.size() < MaxIndexedRecords)
        FRecordStarts.push_back(Record.Start);
}

void TQRPageList::ExpectNumber(const TRecord& Record, int32_t Number) const
{
    if (Record.Number != Number)
        Damaged("page records out of sequence: record" + AtOffset(Record.Start) + " is numbered " +
                std::to_string(Record.Number) + " where " + std::to_string(Number) + " was expected");
}

int32_t TQRPageList::DataEnd() const
{
    return FDataEnd >= 0 ? FDataEnd : FStream->Size();
}

int32_t TQRPageList::TrailingBytes()
{
    if (!FStream)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FDataEnd < 0 && FHeaderKeepsCount && FPageCount > 0) {
        // The end is where the walk to the last record ends.
        TPositionKeeper keep(*FStream);
        GotoPage(FPageCount);
    }
    return FDataEnd >= 0 ? FStream->Size() - FDataEnd : 0;
}

bool TQRPageList::StartsRecord(int32_t Start, int32_t Number, int32_t Size)
{
    if (int64_t(Start) + 12 > Size)
        return false;
    FStream->SetPosition(Start);
    return FStream->ReadInt32() == Number;
}

void TQRPageList::CheckFirstRecord()
{
    const int32_t size = FStream->Size();
    const int32_t first = HeaderSize();
    FCursor = TRecord();
    if (!StartsRecord(first, 1, size)) {
        // Neither a page nor a header that says "no pages": some other file.
        if (!FHeaderKeepsCount || !FHeaderMarked)
            throw EFOpenError("Cannot open file \"" + Name() + "\". It is not a report file");
        if (FPageCount > 0 && int64_t(first) + 12 > size)
            Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds no page records");
    }
    if (FHeaderKeepsCount && FPageCount == 0) {
        FDataEnd = first;
    } else if (FHeaderKeepsCount) {
        // Only record 1: the rest of the chain is checked as far as the
        // pages asked for, so page 1 costs the same for any page count.
        const TRecord r = ReadRecord(first, size);
        ExpectNumber(r, 1);
        NoteRecord(r);
        // Unless the count is more than the file can hold (a record takes
        // 12 bytes at least): the walk then finds where the records end,
        // and no reader is handed a count that cannot be.
        if (FPageCount > (int64_t(size) - first) / 12)
            GotoPage(FPageCount);
    }
    FStream->SetPosition(first);
}

void TQRPageList::StepForward(TRecord& Record, int32_t Size)
{
    if (Record.Next == Size || Record.Next == FDataEnd)
        Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds only " +
                std::to_string(Record.Number) + " page records");
    const TRecord next = ReadRecord(Record.Next, Size);
    ExpectNumber(next, Record.Number + 1);
    NoteRecord(next);
    Record = next;
}

void TQRPageList::StepBack(TRecord& Record, int32_t Size)
{
    FStream->SetPosition(Record.Start - 4);
    const int32_t back = FStream->ReadInt32();
    if (back > Record.Start - 12)
        Damaged("the back pointer in front of record " + std::to_string(Record.Number) + AtOffset(Record.Start) +
                " leads forward, to offset " + std::to_string(back));
    const TRecord previous = ReadRecord(back, Size);
    ExpectNumber(previous, Record.Number - 1);
    if (previous.Next != Record.Start)
        Damaged("page record " + std::to_string(previous.Number) + AtOffset(previous.Start) + " ends at offset " +
                std::to_string(previous.Next) + " but the next record starts at " + std::to_string(Record.Start));
    Record = previous;
}

TQRPageList::TRecord TQRPageList::GotoPage(int32_t N)
{
    const int32_t size = FStream->Size();
    if (int64_t(HeaderSize()) + 12 > DataEnd())
        Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds no page records");
    TRecord r;
    if (N - 1 < static_cast<int64_t>(FRecordStarts.size())) {
        // A record the walk has passed: one step.
        r = ReadRecord(FRecordStarts[size_t(N - 1)], size);
        ExpectNumber(r, N);
    } else {
        // Every record is reached along the chain from record 1, never
        // through a pointer the chain has not confirmed, so a damaged file
        // cannot show a wrong page. The walk starts at the furthest record
        // known; past the bounded index, at the record the last fetch used.
        if (FRecordStarts.empty()) {
            r = ReadRecord(HeaderSize(), size);
            ExpectNumber(r, 1);
            NoteRecord(r);
        } else if (FCursor.Number == static_cast<int64_t>(FRecordStarts.size()) &&
                   FCursor.Start == FRecordStarts.back()) {
            // Reading on page after page: the last fetch's record, checked then.
            r = FCursor;
        } else {
            r = ReadRecord(FRecordStarts.back(), size);
            ExpectNumber(r, static_cast<int32_t>(FRecordStarts.size()));
        }
        if (FCursor.Number > r.Number && std::abs(int64_t(FCursor.Number) - N) < int64_t(N) - r.Number)
            r = FCursor;
        while (r.Number < N)
            StepForward(r, size);
        while (r.Number > N)
            StepBack(r, size);
        if (N == FPageCount && FHeaderKeepsCount)
            FDataEnd = r.Next;
    }
    FCursor = r;
    FStream->SetPosition(r.Start);
    return r;
}

int32_t TQRPageList::CountRecords()
{
    CheckStream();
    std::lock_guard<std::recursive_mutex> lock(FLock);
    const int32_t size = FStream->Size();
    int32_t count = 0;
    int32_t pos = HeaderSize();
    // Bytes that do not begin the next record are padding behind the last.
    while (StartsRecord(pos, count + 1, size)) {
        const TRecord r = ReadRecord(pos, size);
        NoteRecord(r);
        ++count;
        pos = r.Next;
    }
    FDataEnd = pos;
    FStream->SetPosition(pos);
    return count;
}
