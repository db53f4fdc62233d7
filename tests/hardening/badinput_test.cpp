// SPDX-License-Identifier: GPL-3.0-or-later
// The bad-input table: for each damaged or unusable report, qrptool info
// says what is wrong and exits 1, the viewer shows the same words and stays
// up, the file is unchanged, and the temporary folder stays empty.
#include "hardening_helpers.h"
#include "tempfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cctype>
#include <unistd.h>

namespace {

struct TBadInput {
    const char* Name;    // a file in tests/data/damaged, or a case made here
    const char* Message; // what both qrptool and the viewer must say
    int ExitCode;        // qrptool info's
};

std::ostream& operator<<(std::ostream& Out, const TBadInput& Row)
{
    return Out << Row.Name;
}

const TBadInput Table[] = {
    {"empty.qrp", "the file ends before all of its data could be read: it is damaged or cut short", 1},
    {"short-header.qrp", "the file ends before all of its data could be read: it is damaged or cut short", 1},
    {"no-page-records.qrp", "the file ends before all of its data could be read: it is damaged or cut short", 1},
    // Refused, as a finished report needs a page, but not called damaged.
    {"(header saying 0 pages)", "the report holds no pages", 1},
    {"wrong-header.qrp", "It is not a report file", 1},
    {"(4096 zero bytes)", "It is not a report file", 1},
    {"page-count-too-large.qrp", "the header gives 9 pages but the file holds only 3 page records", 1},
    {"page-count-negative.qrp", "the header gives a negative page count (-5)", 1},
    {"chain-end-past-file.qrp",
     "page record 2 at offset 292 gives its end as offset 1644, outside the file's 644 bytes", 1},
    {"chain-end-before-record.qrp",
     "page record 1 at offset 128 gives its end as offset 132, outside the file's 644 bytes", 1},
    {"chain-out-of-sequence.qrp",
     "page records out of sequence: record at offset 292 is numbered 5 where 2 was expected", 1},
    {"chain-bad-back-pointer.qrp", "page 2: its back pointer does not lead to the start of its record", 1},
    {"chain-cut-short.qrp", "page record 3 at offset 480 gives its end as offset 644, outside the file's 540 bytes", 1},
    {"chain-trailing-garbage.qrp", "", 0}, // bytes after the last record are ignored
    {"page-not-emf.qrp", "page 2: Page data is not an enhanced metafile", 1},
    {"emf-broken-records.qrp", "", 0},
    {"compressed-cut-short.qrp", "page 1: Compressed page data ends before the page is complete", 1},
    {"compressed-length-too-large.qrp",
     "page 2: its expanded length of 2147483632 bytes cannot come from 189 coded bytes", 1},
    {"(directory)", "It is a directory", 1},
    {"(unreadable)", "Permission denied", 1},
    {"(missing)", "No such file or directory", 1},
    {"(over 2 GiB)", "It is larger than the 2 GiB a report file can address", 1},
};

class BadInput : public ::testing::TestWithParam<TBadInput> {
protected:
    // The case's file inside Work, made or copied there.
    QString Make(const QString& Name)
    {
        const QString path = Work.filePath(QStringLiteral("report.qrp"));
        if (Name == "(directory)") {
            QDir().mkpath(path);
        } else if (Name == "(4096 zero bytes)") {
            QFile zeros(path);
            EXPECT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.write(QByteArray(4096, '\0')) == 4096);
        } else if (Name == "(header saying 0 pages)") {
            QByteArray header(128, '\0');
            header[0] = 3;
            header[2] = 50;
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(header) == 128);
        } else if (Name == "(missing)") {
        } else if (Name == "(over 2 GiB)") {
            // Sparse: 2.2 GB that take no room on disk.
            QFile big(path);
            EXPECT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(2200) << 20));
        } else if (Name == "(unreadable)") {
            QFile::copy(QStringLiteral(QRP_TEST_DATA "/damaged/page-count-too-large.qrp"), path);
            QFile::setPermissions(path, QFileDevice::Permissions());
        } else {
            EXPECT_TRUE(QFile::copy(QStringLiteral(QRP_TEST_DATA "/damaged/") + Name, path));
        }
        return path;
    }

    QTemporaryDir Work;
    TPrivateTempFolder Temp;
};

// Root reads any file: the unreadable case runs as nobody.
const bool AsRoot = geteuid() == 0;
const QString Nobody = QStringLiteral("65534");

} // namespace

TEST_P(BadInput, IsRefusedWithItsReasonAndTouchesNothing)
{
    const TBadInput row = GetParam();
    const bool unreadable = QString(row.Name) == "(unreadable)";
    if (unreadable && AsRoot && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "needs setpriv to drop root's rights";
    const QString file = Make(row.Name);
    const QByteArray before = FileState(file);

    const TToolRun tool = RunQrptool({"info", file}, unreadable && AsRoot ? Nobody : QString());
    EXPECT_EQ(tool.ExitCode, row.ExitCode) << tool.Err.toStdString();
    if (row.ExitCode != 0)
        EXPECT_TRUE(tool.Err.startsWith("qrptool info: ") && tool.Err.contains(row.Message)) << tool.Err.toStdString();
    else
        EXPECT_TRUE(tool.Err.isEmpty()) << tool.Err.toStdString();

    if (unreadable && AsRoot) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    const TViewerRun viewer = OpenInViewer(file);
    if (unreadable && AsRoot) {
        ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_TRUE(viewer.MainWindowVisible);
    if (row.ExitCode != 0) {
        // Damage behind page 1 shows when the user reaches it, once per try;
        // a later try may come at the damage from the other end.
        ASSERT_FALSE(viewer.Messages.isEmpty());
        EXPECT_TRUE(viewer.Messages[0].contains(row.Message)) << viewer.Messages[0].toStdString();
        for (const QString& message : viewer.Messages.mid(1))
            EXPECT_TRUE(message.startsWith("Damaged report file")) << message.toStdString();
    } else {
        EXPECT_TRUE(viewer.Messages.isEmpty()) << viewer.Messages.join('\n').toStdString();
        EXPECT_EQ(viewer.PreviewWindows, 1);
    }

    EXPECT_EQ(FileState(file), before);
    EXPECT_EQ(Temp.Leftovers(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(Table), [](const auto& Info) {
    std::string name;
    for (char c : std::string(Info.param.Name))
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
});
