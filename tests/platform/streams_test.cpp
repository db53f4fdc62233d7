#include "platform/errors.h"
#include "platform/streams.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qrp-streams-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        Dir = tmpl;
    }
    void TearDown() override
    {
        for (const std::string& f : Files())
            ::unlink((Dir + "/" + f).c_str());
        ::rmdir(Dir.c_str());
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        DIR* d = ::opendir(Dir.c_str());
        while (dirent* e = d ? ::readdir(d) : nullptr)
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        if (d)
            ::closedir(d);
        return names;
    }
    std::string Slurp(const std::string& Name) const
    {
        std::ifstream f(Name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    std::string Dir;
};

TEST(MemoryStream, ReadsWhatWasWrittenAndStopsAtTheEnd)
{
    TMemoryStream s;
    s.WriteInt32(-2);
    s.WriteInt32(0x01020304);
    EXPECT_EQ(s.Size(), 8);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt32(), -2);
    EXPECT_EQ(s.ReadInt32(), 0x01020304);
    uint8_t b[4];
    EXPECT_EQ(s.Read(b, 4), 0);
    EXPECT_THROW(s.ReadInt32(), EReadError);
    s.SetPosition(6);
    EXPECT_EQ(s.Read(b, 4), 2);
}

TEST(MemoryStream, SeekOutsideTheRangeKeepsThePosition)
{
    TMemoryStream s;
    s.WriteInt32(1);
    EXPECT_EQ(s.Seek(-10, soFromCurrent), 4);
    EXPECT_EQ(s.Seek(2, soFromBeginning), 2);
    EXPECT_EQ(s.Seek(-1, soFromEnd), 3);
    EXPECT_EQ(s.Seek(10, soFromEnd), 14); // beyond the end is allowed, as in files
    EXPECT_EQ(s.Read(&s, 0), 0);
}

TEST_F(ScratchDir, FileStreamReadsWritesAndRefusesWritesWhenReadOnly)
{
    const std::string name = Dir + "/f.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteInt32(42);
        EXPECT_EQ(f.Size64(), 4);
    }
    TFileStream r(name, fmOpenRead);
    EXPECT_EQ(r.ReadInt32(), 42);
    EXPECT_EQ(r.Write("x", 1), 0);
    EXPECT_THROW(TFileStream(Dir + "/none", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(Dir, fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(name, fmCreate | fmShareExclusive), EFCreateError);
}

TEST_F(ScratchDir, SaveFileReplacingLeavesTheOldFileWhenWritingFails)
{
    const std::string name = Dir + "/report.qrp";
    {
        std::ofstream(name) << "old content";
    }
    EXPECT_THROW(SaveFileReplacing(name,
                                   [](TStream& f) {
                                       f.WriteInt32(1);
                                       throw EWriteError();
                                   }),
                 EWriteError);
    EXPECT_EQ(Slurp(name), "old content");
    EXPECT_EQ(Files(), std::vector<std::string>{"report.qrp"});

    SaveFileReplacing(name, [](TStream& f) { f.WriteBuffer("new", 3); });
    EXPECT_EQ(Slurp(name), "new");
    EXPECT_EQ(Files(), std::vector<std::string>{"report.qrp"});
    EXPECT_THROW(SaveFileReplacing(Dir + "/no/such/dir/x.qrp", [](TStream&) {}), EFCreateError);
    EXPECT_THROW(SaveFileReplacing(Dir, [](TStream&) {}), EFCreateError);
}

TEST_F(ScratchDir, TempFileNamesAreReservedAndUnique)
{
    const std::string a = GetTempFileName(Dir, "QRP");
    const std::string b = GetTempFileName(Dir, "QRP");
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_TRUE(DeleteFile(a));
    EXPECT_FALSE(FileExists(a));
    EXPECT_THROW(GetTempFileName(Dir + "/missing", "QRP"), EFCreateError);
}

TEST(System, TempPathFollowsTmpdir)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", "/var/tmp/", 1);
    EXPECT_EQ(GetTempPath(), "/var/tmp");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(GetTempPath(), "/tmp");
    if (old)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(System, NowCountsDaysFrom1899)
{
    // 2020-01-01 is day 43831; any machine running this is past it.
    const double now = Now();
    EXPECT_GT(now, 43831.0);
    EXPECT_LT(now, 43831.0 + 365 * 200);
}

} // namespace
