// The walk along the chain of page records, which trusts no offset or
// number it reads: every step must move to a record inside the data whose
// number is one more or one less than the last, so a damaged file ends the
// walk with a message instead of a loop or a read outside the data.
#include "store/qrdamagedreport.h"
#include "platform/littleendian.h"
#include "store/qrpagelist.h"

#include <cstdlib>

namespace {

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

int32_t TQRPageList::TrailingBytes() const
{
    return FStream && FDataEnd >= 0 ? FStream->Size() - FDataEnd : 0;
}

bool TQRPageList::StartsRecord(int32_t Start, int32_t Number, int32_t Size)
{
    if (int64_t(Start) + 12 > Size)
        return false;
    FStream->SetPosition(Start);
    return FStream->ReadInt32() == Number;
}

void TQRPageList::FindChainEnd()
{
    const int32_t size = FStream->Size();
    const int32_t first = HeaderSize();
    if (!StartsRecord(first, 1, size)) {
        // Neither a page nor a header that says "no pages": some other file.
        if (!FHeaderKeepsCount || !FHeaderMarked)
            throw EFOpenError("Cannot open file \"" + Name() + "\". It is not a report file");
        if (FPageCount > 0 && int64_t(first) + 12 > size)
            Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds no page records");
    }
    if (!FHeaderKeepsCount) {
        // CountRecords walks these and finds the end.
        FStream->SetPosition(first);
        return;
    }
    // The header's count of records, whatever follows them.
    int32_t pos = first;
    for (int32_t n = 1; n <= FPageCount; ++n) {
        if (pos == size)
            Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds only " +
                    std::to_string(n - 1) + " page records");
        const TRecord r = ReadRecord(pos, size);
        ExpectNumber(r, n);
        NoteRecord(r);
        pos = r.Next;
    }
    FDataEnd = pos;
    FStream->SetPosition(first);
}

TQRPageList::TRecord TQRPageList::GotoPage(int32_t N)
{
    const int32_t size = FStream->Size();
    const int32_t end = DataEnd();
    if (int64_t(HeaderSize()) + 12 > end)
        Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds no page records");
    TRecord r;
    if (N == 1) {
        r = ReadRecord(HeaderSize(), size);
        ExpectNumber(r, 1);
        NoteRecord(r);
    } else {
        const int32_t pos = FStream->Position();
        if (pos == end) {
            FStream->SetPosition(end - 4);
            r = ReadRecord(FStream->ReadInt32(), size);
            if (r.Next != end)
                Damaged("the back pointer at the end of the file leads to record " + std::to_string(r.Number) +
                        AtOffset(r.Start) + ", which is not the last record");
        } else {
            r = ReadRecord(pos, size);
        }
        if (r.Number < 1 || r.Number > FPageCount)
            Damaged("page record" + AtOffset(r.Start) + " is numbered " + std::to_string(r.Number) + ", outside 1.." +
                    std::to_string(FPageCount));
        // The record at the position is always read and checked; only a
        // longer way to a record the walk has already passed is cut short.
        if (std::abs(int64_t(r.Number) - N) > 1 && N - 1 < static_cast<int64_t>(FRecordStarts.size())) {
            r = ReadRecord(FRecordStarts[size_t(N - 1)], size);
            ExpectNumber(r, N);
        }
        while (r.Number < N) {
            if (r.Next == end)
                Damaged("the header gives " + std::to_string(FPageCount) + " pages but the file holds only " +
                        std::to_string(r.Number) + " page records");
            const int32_t number = r.Number + 1;
            NoteRecord(r);
            r = ReadRecord(r.Next, size);
            ExpectNumber(r, number);
            NoteRecord(r);
        }
        while (r.Number > N) {
            FStream->SetPosition(r.Start - 4);
            const int32_t back = FStream->ReadInt32();
            if (back > r.Start - 12)
                Damaged("the back pointer in front of record " + std::to_string(r.Number) + AtOffset(r.Start) +
                        " leads forward, to offset " + std::to_string(back));
            const TRecord previous = ReadRecord(back, size);
            ExpectNumber(previous, r.Number - 1);
            if (previous.Next != r.Start)
                Damaged("page record " + std::to_string(previous.Number) + AtOffset(previous.Start) +
                        " ends at offset " + std::to_string(previous.Next) + " but the next record starts at " +
                        std::to_string(r.Start));
            r = previous;
        }
    }
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
