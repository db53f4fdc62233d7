// SPDX-License-Identifier: GPL-3.0-or-later
// A FIFO, device or socket named as a report or page is refused at once,
// by every reader, instead of blocking the open.
#include "hardening_helpers.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "archive/reporttext.h"
#include "store/qrpagelist.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

std::string MessageOf(const std::function<void()>& Open)
{
    try {
        Open();
    } catch (const Exception& e) {
        return e.what();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(opened)";
}

TEST(NonRegularFiles, AFifoIsRefusedByEveryReaderWithoutBlocking)
{
    QTemporaryDir dir;
    const std::string report = dir.filePath("report.qrp").toStdString();
    const std::string page = dir.filePath("page.emf").toStdString();
    ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(page.c_str(), 0600), 0);
    const std::string expected = "Cannot open file \"" + report + "\". It is not a regular file";

    TQRPageList list;
    EXPECT_EQ(MessageOf([&] { list.LoadFromFile(report); }), expected);
    EXPECT_EQ(list.Stream(), nullptr);
    TMetafile emf;
    EXPECT_EQ(MessageOf([&] { emf.LoadFromFile(page); }),
              "Cannot open file \"" + page + "\". It is not a regular file");
    EXPECT_EQ(MessageOf([&] { TTextSource source(report); }), expected);
    // A device is refused as well; a directory keeps its own words.
    EXPECT_EQ(MessageOf([&] { list.LoadFromFile("/dev/null"); }),
              "Cannot open file \"/dev/null\". It is not a regular file");
    EXPECT_NE(MessageOf([&] { list.LoadFromFile(dir.path().toStdString()); }).find("It is a directory"),
              std::string::npos);

    const QString out = dir.filePath("thumb.png");
    for (const QStringList& args :
         {QStringList{"info", QString::fromStdString(report)}, QStringList{"text", QString::fromStdString(report)},
          QStringList{"text", QString::fromStdString(page)},
          QStringList{"thumbnail", QString::fromStdString(report), out},
          QStringList{"thumbnail", QString::fromStdString(page), out}}) {
        const TToolRun run = RunQrptool(args);
        EXPECT_EQ(run.ExitCode, 1) << args.join(' ').toStdString() << ": " << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains("not a regular file")) << run.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
