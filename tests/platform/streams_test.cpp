// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/errors.h"
#include "platform/streams.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
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

// Saving over a file keeps what the user set up: a link stays a link, and a
// folder that takes no new files still lets its writable file be saved.
TEST_F(ScratchDir, SaveFileReplacingFollowsLinksAndWritesInPlaceInAClosedFolder)
{
    const std::string target = Dir + "/target.qrp", link = Dir + "/link.qrp";
    std::ofstream(target) << "old content";
    ASSERT_EQ(::symlink("target.qrp", link.c_str()), 0);
    SaveFileReplacing(link, [](TStream& f) { f.WriteBuffer("via link", 8); });
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Slurp(target), "via link");

    // Root creates files anywhere: the save runs as nobody, who owns the
    // file and the temporary folder but not the folder around the file.
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    const std::string closed = Dir + "/closed", temp = Dir + "/tmp", name = closed + "/report.qrp";
    ASSERT_EQ(::mkdir(closed.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(temp.c_str(), 0700), 0);
    std::ofstream(name) << "old content";
    ::chmod(Dir.c_str(), 0755);
    ::chmod(name.c_str(), 0644);
    if (root) {
        ASSERT_TRUE(::chown(name.c_str(), nobody, nobody) == 0 && ::chown(temp.c_str(), nobody, nobody) == 0);
    }
    ::chmod(closed.c_str(), 0555);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", temp.c_str(), 1);
    if (root) {
        ASSERT_EQ(::seteuid(nobody), 0);
    }
    std::string error;
    try {
        EXPECT_THROW(SaveFileReplacing(name, [](TStream&) { throw EWriteError(); }), EWriteError);
        EXPECT_EQ(Slurp(name), "old content");
        SaveFileReplacing(name, [this, &name](TStream& f) {
            // The old content is still there to be read while the new is written.
            const std::string old = Slurp(name);
            f.WriteBuffer(old.data(), static_cast<int32_t>(old.size()));
            f.WriteBuffer(", and more", 10);
        });
    } catch (const Exception& e) {
        error = e.what();
    }
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    oldTmp ? ::setenv("TMPDIR", savedTmp.c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(error, "");
    EXPECT_EQ(Slurp(name), "old content, and more");
    DIR* d = ::opendir(temp.c_str());
    int leftovers = 0;
    while (dirent* e = d ? ::readdir(d) : nullptr)
        leftovers += e->d_name[0] != '.';
    if (d)
        ::closedir(d);
    EXPECT_EQ(leftovers, 0);
    ::chmod(closed.c_str(), 0700);
    ::unlink(name.c_str());
    ::rmdir(closed.c_str());
    ::rmdir(temp.c_str());
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
