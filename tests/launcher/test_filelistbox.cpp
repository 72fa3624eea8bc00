#include "launcher/filelistbox.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using vantor::InOutError;
using vantor::TFileListBox;
using vantor::test::TempDir;

namespace {

class FileListBoxTest : public ::testing::Test {
protected:
  void SetUp() override { start = QDir::currentPath(); }
  void TearDown() override { QDir::setCurrent(start); }
  QString start;
  TempDir dir;
};

TEST_F(FileListBoxTest, ListsMatchingNormalFilesCaseBlindSorted) {
  dir.write("B.ZIP");
  dir.write("a.zip");
  dir.write("c.txt");
  dir.write(".x.zip");
  dir.mkdir("d.zip");
  TFileListBox list;
  list.setMask("*.zip");
  list.applyPath(dir.path());
  EXPECT_EQ(list.items(), (QStringList{"a.zip", "B.ZIP"}));
  // Reading never moves the process.
  EXPECT_EQ(QDir::currentPath(), start);
  EXPECT_EQ(list.directory(), QDir(dir.path()).canonicalPath());
}

TEST_F(FileListBoxTest, ItemIndexRules) {
  dir.write("a.zip");
  dir.write("b.zip");
  TFileListBox list;
  list.setMask("*.zip");
  list.applyPath(dir.path());
  list.setItemIndex(1);
  EXPECT_EQ(list.itemIndex(), 1);
  list.setItemIndex(2);
  EXPECT_EQ(list.itemIndex(), 1);
  list.setItemIndex(-5);
  EXPECT_EQ(list.itemIndex(), 1);
  list.setItemIndex(-1);
  EXPECT_EQ(list.itemIndex(), -1);
  list.setItemIndex(0);
  list.update();
  EXPECT_EQ(list.itemIndex(), -1); // a re-read clears the selection
}

TEST_F(FileListBoxTest, UpdateSeesNewFilesInOrder) {
  dir.write("shots/shot0001.bmp");
  dir.write("shots/shot0002.bmp");
  TFileListBox list;
  list.setMask("shot*.bmp");
  list.applyPath(dir.file("shots"));
  ASSERT_EQ(list.count(), 2);
  dir.write("shots/shot0003.bmp");
  EXPECT_EQ(list.count(), 2);
  list.update();
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.item(2), "shot0003.bmp");
}

TEST_F(FileListBoxTest, MissingFolderRaisesAndKeepsState) {
  dir.write("roms/a.zip");
  TFileListBox list;
  list.setMask("*.zip");
  list.applyPath(dir.file("roms"));
  const QString before = list.directory();
  EXPECT_THROW(list.applyPath(dir.file("nowhere")), InOutError);
  EXPECT_EQ(list.directory(), before);
  EXPECT_EQ(list.items(), QStringList{"a.zip"});
  EXPECT_THROW(list.applyPath(dir.file("nowhere") + "/*.txt"), InOutError);
  EXPECT_EQ(list.mask(), "*.zip");
  list.update();
  EXPECT_EQ(list.items(), QStringList{"a.zip"});
}

TEST_F(FileListBoxTest, ApplyPathWithWildcardSetsMaskAndRelativePathsMeanTheStartFolder) {
  dir.write("roms/a.zip");
  dir.write("roms/b.txt");
  dir.write("roms/sub/c.zip");
  TFileListBox list;
  list.applyPath(dir.file("roms") + "/*.txt");
  EXPECT_EQ(list.mask(), "*.txt");
  EXPECT_EQ(list.items(), QStringList{"b.txt"});
  list.setMask("*.zip");
  EXPECT_EQ(list.items(), QStringList{"a.zip"});
  // Relative to where the program started, not to the list's last folder.
  const QDir startFolder(vantor::platform::startFolder());
  list.applyPath(startFolder.relativeFilePath(dir.file("roms/sub")));
  EXPECT_EQ(list.items(), QStringList{"c.zip"});
  list.applyPath("[" + dir.file("roms") + "]");
  EXPECT_EQ(list.items(), QStringList{"a.zip"});
  EXPECT_EQ(QDir::currentPath(), start);
}

TEST_F(FileListBoxTest, UnsetListListsTheStartUpFolder) {
  TFileListBox list;
  EXPECT_EQ(list.directory(), vantor::platform::startFolder());
}

TEST_F(FileListBoxTest, NamesThatAreNotUtf8KeepTheirBytes) {
  const QByteArray folder = QFile::encodeName(dir.path()) + "/";
  for (const QByteArray &name : {QByteArray("caf\xe9.zip"), QByteArray("b.zip")})
    ::close(::open((folder + name).constData(), O_WRONLY | O_CREAT, 0644));
  ASSERT_TRUE(QFile::exists(dir.file("b.zip")));
  TFileListBox list;
  list.setMask("*.zip");
  list.applyPath(dir.path());
  EXPECT_EQ(list.items(), (QStringList{"b.zip", QString::fromLatin1("caf\xe9.zip")}));
  EXPECT_EQ(list.nativeItems(), (QList<QByteArray>{"b.zip", "caf\xe9.zip"}));
}

TEST_F(FileListBoxTest, LargeFolderSortsAndShowsBusyCursorOnlyDuringTheRead) {
  for (int i = 0; i < 300; ++i)
    dir.write(QString("rom%1.ZIP").arg(299 - i, 3, 10, QChar('0')).replace("rom1", "ROM1"));
  TFileListBox list;
  list.setMask("*.zip");
  list.applyPath(dir.path());
  ASSERT_EQ(list.count(), 300);
  for (int i = 1; i < list.count(); ++i)
    EXPECT_LT(QString::compare(list.item(i - 1), list.item(i), Qt::CaseInsensitive), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
