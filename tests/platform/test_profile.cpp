#include "platform/errors.h"
#include "platform/profile.h"
#include "support/tempdir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using vantor::InOutError;
using vantor::platform::ProfileFile;
using vantor::test::contents;
using vantor::test::TempDir;

namespace {

class ProfileTest : public ::testing::Test {
protected:
  TempDir dir;
  QString path = dir.file("vantor.INI");
  ProfileFile ini{path};

  void TearDown() override { ProfileFile::setSaveFault({}); }

  // Files beside the settings file other than it.
  QStringList leftovers() const {
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    names.removeAll("vantor.INI");
    return names;
  }
};

TEST_F(ProfileTest, SavesLeaveNothingBesideTheFile) {
  ini.writeString("setup", "neoloc_Text", "/x");
  ini.eraseSection("setup");
  ini.writeString("main", "Flags", "0");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"vantor.INI"});
}

TEST_F(ProfileTest, FirstWriteCreatesFileWithSection) {
  ASSERT_FALSE(QFileInfo::exists(path));
  ini.writeString("setup", "neoloc_Text", "/opt/neo/neorage");
  EXPECT_EQ(contents(path), "[setup]\nneoloc_Text=/opt/neo/neorage\n");
}

TEST_F(ProfileTest, KeysRewrittenInPlaceNewKeysEndOfSectionNewSectionsEndOfFile) {
  dir.write("vantor.INI", "; comment\n[setup]\nA=1\nB=2\n\n[main]\nC=3\n");
  ini.writeString("SETUP", "a", "10"); // in place, case-blind
  ini.writeString("setup", "D", "4");  // end of its section, before the blank line
  ini.writeString("about", "E", "5");  // new section at the end
  ini.writeInteger("main", "C", 30);
  EXPECT_EQ(contents(path), "; comment\n[setup]\na=10\nB=2\nD=4\n\n[main]\nC=30\n[about]\nE=5\n");
}

TEST_F(ProfileTest, ReadTrimsStripsOnePairOfQuotesAndFallsBack) {
  dir.write("vantor.INI", "[s]\n"
                          "plain =  value with blanks  \n"
                          "dq=\"quoted\"\n"
                          "sq='single'\n"
                          "nested=\"\"two\"\"\n"
                          "mixed=\"half'\n"
                          "empty=\n");
  struct Row {
    const char *key;
    const char *expected;
  } rows[] = {
      {"PLAIN", "value with blanks"}, {"dq", "quoted"}, {"sq", "single"},  {"nested", "\"two\""},
      {"mixed", "\"half'"},           {"empty", ""},    {"missing", "def"}};
  for (const Row &row : rows)
    EXPECT_EQ(ini.readString("S", row.key, "def"), QString::fromUtf8(row.expected)) << row.key;
  EXPECT_EQ(ini.readString("nosection", "plain", " fallback "), "fallback");
}

TEST_F(ProfileTest, ReadReturnsAtMost1023Characters) {
  dir.write("vantor.INI", "[s]\nlong=" + QByteArray(5000, 'x') + "\n");
  EXPECT_EQ(ini.readString("s", "long", "").size(), ProfileFile::kMaxValueLength);
}

TEST_F(ProfileTest, IntegersDecimalHexAndDefaults) {
  dir.write("vantor.INI", "[s]\nd=42\nneg=-7\nh=0x1F\nbig=0XfF\nbad=abc\nx=0x\nblank=\n");
  EXPECT_EQ(ini.readInteger("s", "d", 0), 42);
  EXPECT_EQ(ini.readInteger("s", "neg", 0), -7);
  EXPECT_EQ(ini.readInteger("s", "h", 0), 31);
  EXPECT_EQ(ini.readInteger("s", "big", 0), 255);
  EXPECT_EQ(ini.readInteger("s", "bad", 9), 9);
  EXPECT_EQ(ini.readInteger("s", "x", 9), 9);
  EXPECT_EQ(ini.readInteger("s", "blank", 9), 9);
  EXPECT_EQ(ini.readInteger("s", "missing", 9), 9);
  ini.writeBool("s", "yes", true);
  ini.writeBool("s", "no", false);
  EXPECT_EQ(ini.readString("s", "yes", ""), "1");
  EXPECT_EQ(ini.readString("s", "no", ""), "0");
}

TEST_F(ProfileTest, EraseSectionRemovesOnlyThatSection) {
  dir.write("vantor.INI", "[a]\nx=1\n[setup.list]\nCount=2\nItem0=p\n[b]\ny=2\n");
  ini.eraseSection("SETUP.LIST");
  EXPECT_EQ(contents(path), "[a]\nx=1\n[b]\ny=2\n");
  ini.eraseSection("absent");
  EXPECT_EQ(contents(path), "[a]\nx=1\n[b]\ny=2\n");
}

TEST_F(ProfileTest, JunkCrlfNulAndLongLinesSurviveARewrite) {
  QByteArray junk = "garbage line\r\n[main]\r\nFlags=0\r\n";
  junk += QByteArray("bin\0ary\x01\xff=zz\r\n", 14);
  junk += QByteArray(100000, 'L') + "\r\n";
  junk += "[setup]\r\nneoloc_Text=/x\r\nno newline at end";
  dir.write("vantor.INI", junk);
  EXPECT_EQ(ini.readString("main", "Flags", "?"), "0");
  ini.writeString("main", "Flags", "1");
  const QByteArray after = contents(path);
  QByteArray expected = junk;
  expected.replace("Flags=0", "Flags=1");
  EXPECT_EQ(after, expected);
  EXPECT_EQ(ini.readString("setup", "neoloc_Text", ""), "/x");
}

TEST_F(ProfileTest, RefusedWritesRaiseUnableToWrite) {
  dir.write("vantor.INI", "[s]\nk=v\n");
  ::chmod(QFile::encodeName(path).constData(), 0444);
  try {
    ini.writeString("s", "k", "w");
    FAIL() << "write to a read-only file succeeded";
  } catch (const InOutError &e) {
    EXPECT_EQ(e.message(), QString("Unable to write to %1").arg(path));
  }
  EXPECT_THROW(ini.eraseSection("s"), InOutError);
  EXPECT_EQ(contents(path), "[s]\nk=v\n");
}

TEST_F(ProfileTest, AnInterruptedSaveLeavesTheOldFileWhole) {
  const QByteArray original = "[main]\nFlags=0\nShowCmd=1\n[setup]\nneoloc_Text=/neo\n";
  const ProfileFile::SaveStep steps[] = {ProfileFile::SaveStep::Lock, ProfileFile::SaveStep::Open,
                                         ProfileFile::SaveStep::Write, ProfileFile::SaveStep::Flush,
                                         ProfileFile::SaveStep::Rename};
  for (ProfileFile::SaveStep step : steps) {
    dir.write("vantor.INI", original);
    ProfileFile::setSaveFault([step](ProfileFile::SaveStep s) { return s == step; });
    EXPECT_THROW(ini.writeString("main", "Flags", "2"), InOutError);
    EXPECT_EQ(contents(path), original) << int(step);
    EXPECT_EQ(leftovers(), QStringList()) << int(step);
  }
  ProfileFile::setSaveFault({});
  ini.writeString("main", "Flags", "2");
  EXPECT_EQ(ini.readString("main", "Flags", ""), "2");
}

TEST_F(ProfileTest, UnwritableFolderRefusesTheFirstWrite) {
  const QString locked = dir.mkdir("locked");
  ::chmod(QFile::encodeName(locked).constData(), 0555);
  ProfileFile inLocked(locked + "/vantor.INI");
  EXPECT_THROW(inLocked.writeString("s", "k", "v"), InOutError);
}

} // namespace

namespace {

TEST_F(ProfileTest, LineBreaksInAValueCannotForgeKeysOrSections) {
  ini.writeString("setup", "romloc_Text", "/roms\n[main]\r\nFormShaper1_Tag=1\0x");
  EXPECT_FALSE(ini.sectionExists("main"));
  EXPECT_EQ(ini.readString("main", "FormShaper1_Tag", "absent"), "absent");
  EXPECT_EQ(ini.readString("setup", "romloc_Text", ""), "/roms [main]  FormShaper1_Tag=1");
}

TEST_F(ProfileTest, ASaveKeepsPermissionsAndWritesThroughALink) {
  dir.write("real.INI", "[s]\nk=v\n");
  ::chmod(QFile::encodeName(dir.file("real.INI")).constData(), 0600);
  ASSERT_TRUE(QFile::link(dir.file("real.INI"), path));
  ini.writeString("s", "k", "w");
  EXPECT_TRUE(QFileInfo(path).isSymLink());
  EXPECT_EQ(contents(dir.file("real.INI")), "[s]\nk=w\n");
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(dir.file("real.INI")).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ProfileTest, ALockFileAnEarlierVersionLeftGoesUnlessItIsHeld) {
  dir.write("vantor.INI.lock");
  ini.writeString("s", "k", "v");
  EXPECT_EQ(leftovers(), QStringList());

  const QString held = dir.write("vantor.INI.lock");
  const int fd = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_SH), 0); // an earlier version in the middle of its save
  ini.writeString("s", "k", "w");
  ::close(fd);
  EXPECT_EQ(leftovers(), QStringList{"vantor.INI.lock"});
}

// A settings file reached through links, as dotfile managers arrange it.
struct LinkChain {
  const char *name;
  // Builds the links from `path` on inside `dir`; returns the real file.
  std::function<QString(const TempDir &dir, const QString &path)> build;
};

class LinkedSettings : public ProfileTest, public ::testing::WithParamInterface<LinkChain> {};

TEST_P(LinkedSettings, TheRealFileIsReplacedAndEveryLinkStays) {
  const QString real = GetParam().build(dir, path);
  ASSERT_TRUE(QFileInfo(path).isSymLink());
  const QStringList linksBefore = [&] {
    QStringList links;
    QDirIterator it(dir.path(),
                    QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
      if (it.next(), it.fileInfo().isSymLink())
        links << it.filePath();
    return links;
  }();
  ini.writeString("main", "Flags", "2");
  ini.eraseSection("gone");
  ini.writeString("setup", "romloc_Text", "/roms");
  for (const QString &link : linksBefore)
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << link.toStdString();
  EXPECT_FALSE(QFileInfo(real).isSymLink());
  EXPECT_TRUE(contents(real).startsWith("[main]\nFlags=2\n")) << contents(real).toStdString();
  EXPECT_EQ(ini.readString("setup", "romloc_Text", ""), "/roms");
}

INSTANTIATE_TEST_SUITE_P(
    Chains, LinkedSettings,
    ::testing::Values(LinkChain{"TwoLinks",
                                [](const TempDir &d, const QString &path) {
                                  const QString real =
                                      d.write("dotfiles/vantor.INI", "[main]\nFlags=0\n");
                                  QFile::link(real, d.file("middle.INI"));
                                  QFile::link(d.file("middle.INI"), path);
                                  return real;
                                }},
                      LinkChain{"RelativeLinksThroughALinkedFolder",
                                [](const TempDir &d, const QString &path) {
                                  const QString real =
                                      d.write("store/deep/vantor.INI", "[main]\nFlags=0\n");
                                  // Relative targets, as the system keeps them.
                                  ::symlink("store/deep",
                                            QFile::encodeName(d.file("shelf")).constData());
                                  ::symlink("../shelf/vantor.INI",
                                            QFile::encodeName(d.file("store/hop.INI")).constData());
                                  ::symlink("store/hop.INI", QFile::encodeName(path).constData());
                                  return real;
                                }},
                      LinkChain{"LastLinkLeadsToAFileNotMadeYet",
                                [](const TempDir &d, const QString &path) {
                                  d.mkdir("dotfiles");
                                  QFile::link(d.file("dotfiles/vantor.INI"), d.file("middle.INI"));
                                  QFile::link(d.file("middle.INI"), path);
                                  return d.file("dotfiles/vantor.INI");
                                }}),
    [](const auto &info) { return std::string(info.param.name); });

struct BrokenChain {
  const char *name;
  std::function<void(const TempDir &dir, const QString &path)> build;
};

class BrokenLinks : public ProfileTest, public ::testing::WithParamInterface<BrokenChain> {};

TEST_P(BrokenLinks, AreRefusedAndNothingIsWritten) {
  GetParam().build(dir, path);
  const QStringList before =
      QDir(dir.path())
          .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const auto &save : std::initializer_list<std::function<void()>>{
           [&] { ini.writeString("main", "Flags", "2"); }, [&] { ini.eraseSection("main"); },
           [&] {
             ProfileFile batch(path, ProfileFile::Mode::Batch);
             batch.writeString("main", "Flags", "2");
             batch.commit();
           }}) {
    try {
      save();
      ADD_FAILURE() << "a save went through broken links";
    } catch (const InOutError &e) {
      EXPECT_EQ(e.message(), QString("Unable to write to %1").arg(path));
    }
  }
  EXPECT_EQ(QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
  EXPECT_TRUE(QFileInfo(path).isSymLink());
}

INSTANTIATE_TEST_SUITE_P(Chains, BrokenLinks,
                         ::testing::Values(BrokenChain{"Loop",
                                                       [](const TempDir &d, const QString &path) {
                                                         QFile::link(path, d.file("middle.INI"));
                                                         QFile::link(d.file("middle.INI"), path);
                                                       }},
                                           BrokenChain{"LinkToItself",
                                                       [](const TempDir &, const QString &path) {
                                                         QFile::link(path, path);
                                                       }},
                                           BrokenChain{"LeadsIntoAMissingFolder",
                                                       [](const TempDir &d, const QString &path) {
                                                         QFile::link(d.file("gone/vantor.INI"),
                                                                     d.file("middle.INI"));
                                                         QFile::link(d.file("middle.INI"), path);
                                                       }}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
