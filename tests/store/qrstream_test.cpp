// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/errors.h"
#include "report_helpers.h"
#include "tempfolder.h"
#include "store/qrstream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

void Write(TQRStream& s, size_t Count, uint8_t Value = 0x5A)
{
    const Bytes data(Count, Value);
    s.WriteBuffer(data.data(), static_cast<int32_t>(Count));
}

Bytes Content(TQRStream& s)
{
    TMemoryStream out;
    s.SaveToStream(out);
    return out.Bytes();
}

// Counts and sizes the writes it receives.
class RecordingStream : public TMemoryStream {
public:
    std::vector<int32_t> Writes;
    int32_t Write(const void* Buffer, int32_t Count) override
    {
        Writes.push_back(Count);
        return TMemoryStream::Write(Buffer, Count);
    }
};

TEST(QRStream, StaysInMemoryUpToTheLimitAndSpillsOneByteBeyond)
{
    TPrivateTempFolder tmp;
    TQRStream s(100);
    Write(s, 60, 1);
    Write(s, 40, 2);
    EXPECT_TRUE(s.InMemory());
    EXPECT_TRUE(tmp.Leftovers().empty());
    Write(s, 1, 3);
    EXPECT_FALSE(s.InMemory());
    ASSERT_EQ(tmp.Leftovers().size(), 1u);
    EXPECT_EQ(tmp.Leftovers()[0].rfind("QRP", 0), 0u);
    EXPECT_EQ(s.Position(), 101);
    Bytes expected(60, 1);
    expected.insert(expected.end(), 40, 2);
    expected.push_back(3);
    EXPECT_EQ(Content(s), expected);
}

TEST(QRStream, ZeroLimitSpillsOnTheFirstByteButAnEmptyStreamStaysInMemory)
{
    TPrivateTempFolder tmp;
    TQRStream empty(0);
    EXPECT_TRUE(empty.InMemory());
    TQRStream s(0);
    Write(s, 1);
    EXPECT_FALSE(s.InMemory());
}

TEST(QRStream, SpillKeepsTheCallersPositionForAWriteInTheMiddle)
{
    TPrivateTempFolder tmp;
    TQRStream s(10);
    Write(s, 8, 1);
    s.SetPosition(4);
    Write(s, 8, 2); // ends at 12, past the limit
    EXPECT_FALSE(s.InMemory());
    EXPECT_EQ(s.Position(), 12);
    EXPECT_EQ(s.Size(), 12);
}

TEST(QRStream, DestroyingASpilledStreamDeletesItsFileAndTouchesNoOther)
{
    TPrivateTempFolder tmp;
    {
        TQRStream s(4);
        Write(s, 5);
        EXPECT_EQ(tmp.Leftovers().size(), 1u);
    }
    EXPECT_TRUE(tmp.Leftovers().empty());
    {
        TQRStream s(100);
        Write(s, 5);
    }
    EXPECT_TRUE(tmp.Leftovers().empty());
}

// Moving a spilled stream renames its file into place: same bytes, no copy
// left behind, an existing file's permissions kept. In memory, nothing moves.
TEST(QRStream, MoveToFileRenamesOnlyItsOwnSpilledFile)
{
    TPrivateTempFolder tmp;
    const std::string target = tmp.FilePath("out.qrp");
    {
        TQRStream s(100);
        Write(s, 50);
        EXPECT_FALSE(s.MoveToFile(target));
        EXPECT_FALSE(FileExists(target));
    }
    {
        TFileStream old(target, fmCreate);
    }
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    {
        TQRStream s(4);
        Write(s, 300, 0x11);
        ASSERT_FALSE(s.InMemory());
        ASSERT_TRUE(s.MoveToFile(target));
        EXPECT_TRUE(s.InMemory());
        EXPECT_EQ(s.Size(), 0);
    }
    EXPECT_TRUE(tmp.Leftovers().empty());
    TMemoryStream moved;
    moved.LoadFromFile(target);
    EXPECT_EQ(moved.Bytes(), Bytes(300, 0x11));
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A user's report read in place is never moved.
    auto user = TQRStream::CreateFromFile(target);
    EXPECT_FALSE(user->MoveToFile(tmp.FilePath("elsewhere.qrp")));
    EXPECT_TRUE(FileExists(target));
}

TEST(QRStream, FailedSpillStaysInMemoryAndLeavesNoFile)
{
    TPrivateTempFolder tmp;
    ::setenv("TMPDIR", tmp.FilePath("missing").c_str(), 1);
    TQRStream s(4);
    Write(s, 4, 7);
    EXPECT_THROW(Write(s, 1, 8), EFCreateError);
    EXPECT_TRUE(s.InMemory());
    EXPECT_TRUE(tmp.Leftovers().empty());
    EXPECT_EQ(Content(s), (Bytes{7, 7, 7, 7, 8}));
}

TEST(QRStream, FileOpenedInPlaceIsReadOnlyAndSurvivesItsStream)
{
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("user.qrp");
    const Bytes original = MakeEmf(200);
    WriteFileBytes(name, original);
    {
        auto s = TQRStream::CreateFromFile(name);
        EXPECT_FALSE(s->InMemory());
        EXPECT_EQ(s->FileName(), name);
        EXPECT_EQ(s->Write("xx", 2), 0);
        EXPECT_EQ(Content(*s), original);
    }
    EXPECT_EQ(ReadFileBytes(name), original);
    EXPECT_THROW(TQRStream::CreateFromFile(tmp.FilePath("missing.qrp")), EFOpenError);
}

TEST(QRStream, SaveToStreamCopiesInChunksOf10240AndEmptyWritesNothing)
{
    TQRStream s(1 << 20);
    Write(s, 25000);
    RecordingStream out;
    s.SaveToStream(out);
    EXPECT_EQ(out.Writes, (std::vector<int32_t>{10240, 10240, 4520}));
    EXPECT_EQ(s.Position(), 25000);

    TQRStream empty(10);
    RecordingStream none;
    empty.SaveToStream(none);
    EXPECT_TRUE(none.Writes.empty());
}

TEST(QRStream, TempReportFileNameReservesANewQrpFile)
{
    TPrivateTempFolder tmp;
    const std::string a = TempReportFileName();
    const std::string b = TempReportFileName();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(tmp.Path() + "/QRP", 0), 0u);
    EXPECT_EQ(a.substr(a.size() - 4), ".TMP");
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(tmp.Leftovers().size(), 2u);
    EXPECT_EQ(std::remove(a.c_str()), 0);
    EXPECT_EQ(std::remove(b.c_str()), 0);
}

} // namespace
