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

TEST(Files, OneEnclosingPairOfQuotesIsQuoting) {
  struct Row {
    const char *text, *path;
  } rows[] = {
      {"\"/opt/neo rage/neorage\"", "/opt/neo rage/neorage"},
      {"/opt/neorage", "/opt/neorage"},
      {"\"\"", ""},
      {"\"", "\""},
      {"\"/a\" b", "\"/a\" b"},
      {"/a \"b\"", "/a \"b\""},
      {"\"\"/a\"\"", "\"/a\""},
      {"", ""},
  };
  for (const Row &r : rows)
    EXPECT_EQ(unquotedPath(r.text), QString(r.path)) << r.text;
}

struct ListedCase {
  const char *name;
  QStringList present;
  QStringList asked;
  const char *found;
};

class ListedName : public ::testing::TestWithParam<ListedCase> {};

TEST_P(ListedName, IsFoundCaseBlindAndSpeltAsListed) {
  TempDir dir;
  for (const QString &file : GetParam().present)
    dir.write(file);
  EXPECT_EQ(findListedName(dir.path(), GetParam().asked), QString(GetParam().found));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ListedName,
    ::testing::Values(
        ListedCase{"exact", {"pacman.jpg"}, {"pacman.jpg"}, "pacman.jpg"},
        ListedCase{"upper_case_on_disk", {"PACMAN.JPG"}, {"pacman.jpg"}, "PACMAN.JPG"},
        ListedCase{"exact_wins", {"PACMAN.JPG", "pacman.jpg"}, {"pacman.jpg"}, "pacman.jpg"},
        ListedCase{"other_spellings_in_a_fixed_order",
                   {"pacman.JPG", "PACMAN.jpg", "Pacman.Jpg"},
                   {"pacman.jpg"},
                   "PACMAN.jpg"},
        ListedCase{"first_asked_wins",
                   {"PAC.GIF", "pac.bmp"},
                   {"pac.jpg", "pac.gif", "pac.bmp"},
                   "PAC.GIF"},
        ListedCase{"case_blind_before_a_later_exact",
                   {"PAC.JPG", "pac.gif"},
                   {"pac.jpg", "pac.gif"},
                   "PAC.JPG"},
        ListedCase{"none", {"galaga.jpg"}, {"pacman.jpg"}, ""},
        ListedCase{"folders_are_not_files", {"PACMAN.JPG/x"}, {"pacman.jpg"}, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Files, ListedNameInAMissingFolderIsNone) {
  TempDir dir;
  EXPECT_EQ(findListedName(dir.file("missing"), {"a.jpg"}), QString());
}
