// SPDX-License-Identifier: GPL-3.0-or-later
// Every input kept in tests/data/damaged (crafted, or found by fuzzing) goes
// through the reader of its kind once more: it may be refused with a
// message, but must never crash, hang or read outside its data.
#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "platform/streams.h"
#include "store/qrcompress.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList Damaged(const QString& Pattern)
{
    QDir dir(QStringLiteral(QRP_TEST_DATA "/damaged"));
    QStringList files;
    for (const QString& name : dir.entryList({Pattern}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

std::vector<uint8_t> Bytes(const QString& File)
{
    TMemoryStream s;
    s.LoadFromFile(File.toStdString());
    return s.TakeBytes();
}

} // namespace

TEST(DamagedInputs, EmfPagesPlayWithoutCrashing)
{
    const QStringList files = Damaged(QStringLiteral("*.emf"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        TMetafile page;
        try {
            page.LoadFromFile(file.toStdString());
        } catch (const Exception& e) {
            EXPECT_STRNE(e.what(), "");
            continue;
        }
        QImage image(96, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        PlayEmf(painter, QRectF(0, 0, 96, 128), page);
    }
}

TEST(DamagedInputs, ReportsAreRefusedWithAMessageOrRead)
{
    for (const QString& file : Damaged(QStringLiteral("*.qrp"))) {
        SCOPED_TRACE(file.toStdString());
        try {
            const TQRReportInfo info = InspectReportFile(file.toStdString());
            EXPECT_EQ(info.Pages.size(), size_t(info.PageCount));
        } catch (const Exception& e) {
            EXPECT_STRNE(e.what(), "");
        }
    }
}

TEST(DamagedInputs, CodedPagesEndWithAReadError)
{
    for (const QString& file : Damaged(QStringLiteral("*.coded"))) {
        SCOPED_TRACE(file.toStdString());
        TMemoryStream coded;
        coded.SetBytes(Bytes(file));
        std::vector<uint8_t> plain(std::min<size_t>(size_t(coded.Size()) * 8 + 16, 1 << 20));
        TQRCompress expander(coded, false);
        EXPECT_THROW(expander.ExpandBytes(plain.data(), plain.size()), EReadError);
    }
}

TEST(DamagedInputs, PagesAfterADamagedOneStayReadable)
{
    TQRPageList list;
    list.LoadFromFile(QRP_TEST_DATA "/damaged/page-not-emf.qrp");
    ASSERT_EQ(list.PageCount(), 3);
    ASSERT_NE(list.GetPage(1), nullptr);
    EXPECT_THROW(list.GetPage(2), Exception);
    EXPECT_NE(list.GetPage(3), nullptr);
    EXPECT_THROW(list.GetPage(2), Exception);
    EXPECT_NE(list.GetPage(1), nullptr);
}
