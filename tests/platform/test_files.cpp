#include "platform/files.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vantor::platform;
using vantor::test::TempDir;

TEST(Files, WildcardMatchingIsCaseBlind) {
  struct Row {
    const char *name, *pattern;
    bool match;
  } rows[] = {
      {"pacman.zip", "*.zip", true},
      {"PACMAN.ZIP", "*.zip", true},
      {"pacman.zip.bak", "*.zip", false},
      {"zip", "*.zip", false},
      {".zip", "*.zip", true},
      {"shot0001.bmp", "shot*.bmp", true},
      {"Shot.BMP", "shot*.bmp", true},
      {"snapshot1.bmp", "shot*.bmp", false},
      {"a.zip", "?.zip", true},
      {"ab.zip", "?.zip", false},
      {"README", "*.*", true},
      {"a.b.c", "*.*", true},
      {"abc", "a*c", true},
      {"abcbc", "a*bc", true},
      {"ac", "a*?c", false},
      {"aXXc", "a*?c", true},
      {"", "*", true},
      {"x", "", false},
  };
  for (const Row &r : rows)
    EXPECT_EQ(matchesMask(r.name, r.pattern), r.match) << r.name << " ~ " << r.pattern;
}

TEST(Files, ForEachFileListsOnlyVisibleNormalFiles) {
  TempDir dir;
  dir.write("B.ZIP");
  dir.write("a.zip");
  dir.write("c.txt");
  dir.write(".hidden.zip");
  dir.mkdir("d.zip");
  QFile::link(dir.file("a.zip"), dir.file("link.zip"));
  QFile::link(dir.file("d.zip"), dir.file("dirlink.zip"));
  QStringList seen;
  ASSERT_TRUE(
      forEachFile(dir.path(), "*.zip", [&](const QByteArray &n) { seen << QString::fromUtf8(n); }));
  seen.sort();
  EXPECT_EQ(seen, (QStringList{"B.ZIP", "a.zip", "link.zip"}));
  EXPECT_FALSE(forEachFile(dir.file("missing"), "*", [](const QByteArray &) {}));
}

TEST(Files, ExistenceTestsTellFilesFromFolders) {
  TempDir dir;
  dir.write("emu");
  dir.mkdir("roms");
  EXPECT_TRUE(fileExists(dir.file("emu")));
  EXPECT_FALSE(fileExists(dir.file("roms")));
  EXPECT_TRUE(folderExists(dir.file("roms")));
  EXPECT_FALSE(folderExists(dir.file("emu")));
  EXPECT_FALSE(fileExists(""));
  EXPECT_FALSE(folderExists(""));
  EXPECT_EQ(joinPath("/a", "b"), "/a/b");
  EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
}
