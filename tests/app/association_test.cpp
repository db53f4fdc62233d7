// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/association.h"
#include "app/xdgassociationstore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(AssociationEntries, AreTheFourKeysAndValuesInOrder)
{
    const auto entries = AssociationEntries(".qrp", "QRPFile", "/usr/bin/qrpview");
    ASSERT_EQ(entries.size(), 4u);
    const struct {
        const char* KeyPath;
        const char* Key;
        const char* Value;
    } expected[] = {
        {".qrp", ".qrp", "QRPFile"},
        {"\\QRPFile", "QRPFile", "QRPFile"},
        {"QRPFile\\DefaultIcon", "QRPFile\\DefaultIcon", "/usr/bin/qrpview,1"},
        {"\\QRPFile\\Shell\\Open\\Command", "QRPFile\\Shell\\Open\\Command", "\"/usr/bin/qrpview\" \"%1\""},
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].KeyPath, expected[i].KeyPath);
        EXPECT_EQ(entries[i].Key(), expected[i].Key);
        EXPECT_EQ(entries[i].Value, expected[i].Value);
    }
}

TEST(AssociationEntries, OpenCommandBecomesADesktopExecLine)
{
    const struct {
        const char* Command;
        const char* Exec;
    } cases[] = {
        {"\"/usr/bin/qrpview\" \"%1\"", "/usr/bin/qrpview %f"},
        {"\"/opt/my apps/qrpview\" \"%1\"", "\"/opt/my apps/qrpview\" %f"},
        {"\"/opt/$HOME/q\" \"%1\"", "\"/opt/\\\\$HOME/q\" %f"},
        {"\"/opt/100%/q\" \"%1\"", "/opt/100%%/q %f"},
        {"\"/opt/a\\b/q\" \"%1\"", "\"/opt/a\\\\\\\\b/q\" %f"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopExecFromCommand(c.Command), c.Exec) << c.Command;
}

namespace {

QString ReadAll(const QString& Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class TRecordingStore : public TAssociationStore {
public:
    bool Write(const TAssociationEntry& Entry) override
    {
        Keys << Entry.Key();
        return Entry.Key() != "QRPFile"; // one key cannot be opened
    }
    void Close() override { Closed = true; }
    QStringList Keys;
    bool Closed = false;
};

} // namespace

TEST(AssociationStore, AKeyThatFailsIsSkippedAndTheRestWritten)
{
    TRecordingStore store;
    RegisterFileAssociation(store, ".qrp", "QRPFile", "/p/qrpview");
    EXPECT_EQ(store.Keys, (QStringList{".qrp", "QRPFile", "QRPFile\\DefaultIcon", "QRPFile\\Shell\\Open\\Command"}));
    EXPECT_TRUE(store.Closed);
}

TEST(AssociationStore, WritesMimePackageDesktopEntryAndIconUnderDataHome)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    TXdgAssociationStore store(QString(), false);
    EXPECT_EQ(store.DataHome(), home.path());
    RegisterFileAssociation(store, ".qrp", "QRPFile", "/opt/zen divo/qrpview");
    qunsetenv("XDG_DATA_HOME");

    const QString mime = ReadAll(home.filePath("mime/packages/qrpfile.xml"));
    EXPECT_TRUE(mime.contains("<mime-type type=\"application/x-qrpfile\">")) << mime.toStdString();
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.qrp\"/>"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.QRP\"/>"));
    EXPECT_TRUE(mime.contains("<comment>QRPFile</comment>"));
    EXPECT_TRUE(mime.contains("<icon name=\"qrpview\"/>"));

    const QString desktop = ReadAll(home.filePath("applications/qrpview.desktop"));
    EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("\nExec=\"/opt/zen divo/qrpview\" %f\n"));
    EXPECT_TRUE(desktop.contains("\nIcon=qrpview\n"));
    EXPECT_TRUE(desktop.contains("\nMimeType=application/x-qrpfile;image/emf;\n"));

    EXPECT_TRUE(ReadAll(home.filePath("icons/hicolor/scalable/apps/qrpview.svg")).contains("<svg"));
}

TEST(AssociationStore, UnwritableDataHomeFailsSilently)
{
    QTemporaryDir home;
    QFile blocker(home.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TXdgAssociationStore store(home.filePath("blocked"), false);
    EXPECT_NO_THROW(RegisterFileAssociation(store, ".qrp", "QRPFile", "/p/qrpview"));
    EXPECT_FALSE(QFile::exists(home.filePath("blocked/applications/qrpview.desktop")));
}

namespace {

// Value of Key in the [Desktop Entry] group (the first group).
QString DesktopValue(const QString& Entry, const QString& Key)
{
    for (const QString& line : Entry.split('\n')) {
        if (line.startsWith('[') && line != "[Desktop Entry]")
            break;
        if (line.startsWith(Key + "="))
            return line.mid(Key.size() + 1);
    }
    return QString();
}

} // namespace

// The packaged files and the ones each start writes share their names, so
// that the user's copy replaces the packaged entry instead of adding a
// second one to the menu.
TEST(AssociationStore, UserEntriesMatchThePackagedOnes)
{
    QTemporaryDir home;
    TXdgAssociationStore store(home.path(), false);
    RegisterFileAssociation(store, ".qrp", "QRPFile", "/usr/bin/qrpview");
    const QString packaged = QRP_SOURCE_DIR "/src/app/main/";

    ASSERT_EQ(QFileInfo(store.DesktopEntryPath()).fileName(), "qrpview.desktop");
    ASSERT_EQ(QFileInfo(store.MimePackagePath()).fileName(), "qrpfile.xml");
    const QString user = ReadAll(store.DesktopEntryPath());
    const QString system = ReadAll(packaged + "qrpview.desktop");
    ASSERT_FALSE(system.isEmpty());
    for (const char* key : {"Type", "Name", "Icon", "Terminal", "Categories"})
        EXPECT_EQ(DesktopValue(user, key), DesktopValue(system, key)) << key;
    // The user's entry starts the program that wrote it; the package's, the one on the path.
    EXPECT_EQ(DesktopValue(user, "Exec"), "/usr/bin/qrpview %f");
    EXPECT_EQ(DesktopValue(system, "Exec"), "qrpview %f");
    const QStringList systemTypes = DesktopValue(system, "MimeType").split(';', Qt::SkipEmptyParts);
    for (const QString& type : DesktopValue(user, "MimeType").split(';', Qt::SkipEmptyParts))
        EXPECT_TRUE(systemTypes.contains(type)) << type.toStdString();
    EXPECT_TRUE(systemTypes.contains(store.MimeType()));

    const QString systemMime = ReadAll(packaged + "qrpfile.xml");
    EXPECT_TRUE(systemMime.contains("<mime-type type=\"" + store.MimeType() + "\">"));
    for (const char* glob : {"*.qrp", "*.QRP"})
        EXPECT_TRUE(systemMime.contains(QString("<glob pattern=\"%1\"/>").arg(glob))) << glob;
    EXPECT_TRUE(ReadAll(store.MimePackagePath()).contains("<icon name=\"" + DesktopValue(system, "Icon") + "\"/>"));
}
