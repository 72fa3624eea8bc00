// Saves made as one change: line ends and unknown bytes kept, the held
// writes of a batch, the lock on the file's folder and the temporary files a
// crashed writer leaves.
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/profile.h"
#include "support/lockholder.h"
#include "support/scopedhook.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

using test::contents;
using test::TempDir;

struct LineEndCase {
  const char *name;
  const char *before;
  const char *section;
  const char *key;
  const char *value;
  const char *after;
};

class LineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, OnlyTheChangedLineChanges) {
  const LineEndCase &c = GetParam();
  ProfileDocument doc{QByteArray(c.before)};
  doc.writeString(c.section, c.key, c.value);
  EXPECT_EQ(doc.toBytes(), QByteArray(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineEnds,
    ::testing::Values(LineEndCase{"CrLfLineInLfFileKeepsItsCr", "[s]\na=1\r\nb=2\n", "s", "A", "9",
                                  "[s]\nA=9\r\nb=2\n"},
                      LineEndCase{"OtherCrLfLinesUntouched", "[s]\r\na=1\nb=2\r\n", "s", "b", "3",
                                  "[s]\r\na=1\nb=3\r\n"},
                      LineEndCase{"NewKeyEndsLikeTheLineBeforeIt", "[s]\na=1\r\n\n[t]\n", "s", "b",
                                  "2", "[s]\na=1\r\nb=2\r\n\n[t]\n"},
                      LineEndCase{"NewSectionTakesTheFirstLinesEnd", "x\r\n[s]\na=1\n", "t", "c",
                                  "3", "x\r\n[s]\na=1\n[t]\r\nc=3\r\n"},
                      LineEndCase{"UnterminatedLastLineStaysLast", "[s]\na=1", "s", "b", "2",
                                  "[s]\na=1\nb=2"},
                      LineEndCase{"UnterminatedLastLineBeforeNewSection", "[s]\na=1", "t", "c", "3",
                                  "[s]\na=1\n[t]\nc=3\n"},
                      LineEndCase{"LastLineEndingInCrGainsLf", "[s]\na=1\r", "t", "c", "3",
                                  "[s]\na=1\r\n[t]\nc=3\n"},
                      LineEndCase{"LoneCrInsideALineIsText", "[s]\nj=\r\rx\na=1\n", "s", "a", "2",
                                  "[s]\nj=\r\rx\na=2\n"},
                      LineEndCase{"EmptyFile", "", "s", "k", "v", "[s]\nk=v\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// Bytes of every kind, line breaks and brackets included, from a fixed sequence.
QByteArray junk(qsizetype size, std::uint32_t seed) {
  QByteArray bytes(size, '\0');
  for (char &c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return bytes;
}

class ProfileBatch : public ::testing::Test {
protected:
  TempDir dir;
  QString path = dir.file("vantor.INI");
  int replacements = 0;

  ProfileBatch() {
    ProfileFile::setSaveFault([this](ProfileFile::SaveStep step) {
      replacements += step == ProfileFile::SaveStep::Rename;
      return false;
    });
  }
  ~ProfileBatch() override { ProfileFile::setSaveFault({}); }
};

TEST_F(ProfileBatch, ASaveAmid100KbOfJunkAndMixedLineEndsChangesOnlyItsLines) {
  const QByteArray head = junk(50 * 1024, 1) + "\n";
  const QByteArray tail = "\n" + junk(50 * 1024, 2);
  const QByteArray setup = "[setup]\r\nFlags=0\r\nneoloc_Text=/neo\nShowCmd=1\r\n";
  const QByteArray middle = junk(4096, 3) + "\r\n";
  const QByteArray main = "[main]\nFlags=0\nFormShaper1_Tag=0\r\n";
  dir.write("vantor.INI", head + setup + middle + main + tail);

  ProfileFile ini(path, ProfileFile::Mode::Batch);
  ini.writeInteger("setup", "ShowCmd", 3);
  ini.writeString("setup", "neoloc_Text", "/opt/neo");
  ini.writeInteger("MAIN", "formshaper1_tag", 1);
  ini.commit();

  const QByteArray expected = head + "[setup]\r\nFlags=0\r\nneoloc_Text=/opt/neo\nShowCmd=3\r\n" +
                              middle + "[main]\nFlags=0\nformshaper1_tag=1\r\n" + tail;
  EXPECT_EQ(contents(path), expected);
  EXPECT_EQ(replacements, 1);
}

TEST_F(ProfileBatch, WritesAreHeldUntilTheCommitAndReadsSeeThem) {
  dir.write("vantor.INI", "[s]\na=1\n");
  ProfileFile ini(path, ProfileFile::Mode::Batch);
  EXPECT_EQ(ini.readString("s", "a", ""), "1");
  ini.writeString("s", "a", "2");
  ini.eraseSection("gone");
  ini.writeString("t", "b", "3");
  EXPECT_EQ(ini.readString("s", "a", ""), "2");
  EXPECT_EQ(ini.readString("t", "b", ""), "3");
  EXPECT_EQ(contents(path), "[s]\na=1\n");
  EXPECT_EQ(replacements, 0);
  ini.commit();
  EXPECT_EQ(contents(path), "[s]\na=2\n[t]\nb=3\n");
  EXPECT_EQ(replacements, 1);
  ini.commit(); // nothing held: nothing written
  EXPECT_EQ(replacements, 1);
}

TEST_F(ProfileBatch, TheCommitKeepsWhatAnotherWriterSavedMeanwhile) {
  dir.write("vantor.INI", "[main]\nFlags=0\n[setup]\nromloc_Text=/roms\n");
  ProfileFile mine(path, ProfileFile::Mode::Batch);
  EXPECT_EQ(mine.readString("main", "Flags", ""), "0");
  mine.writeString("main", "Flags", "1");
  ProfileFile(path).writeString("setup", "romloc_Text", "/other");
  mine.commit();
  EXPECT_EQ(contents(path), "[main]\nFlags=1\n[setup]\nromloc_Text=/other\n");
}

TEST_F(ProfileBatch, AFailedCommitLeavesTheFileAsItWas) {
  const QByteArray original = "[main]\nFlags=0\n";
  dir.write("vantor.INI", original);
  for (const auto step :
       {ProfileFile::SaveStep::Lock, ProfileFile::SaveStep::Write, ProfileFile::SaveStep::Rename}) {
    ProfileFile ini(path, ProfileFile::Mode::Batch);
    ini.writeString("main", "Flags", "1");
    ini.writeString("main", "ShowCmd", "2");
    ProfileFile::setSaveFault([step](ProfileFile::SaveStep s) { return s == step; });
    EXPECT_THROW(ini.commit(), InOutError) << int(step);
    EXPECT_EQ(contents(path), original) << int(step);
  }
}

TEST_F(ProfileBatch, ALockHeldTooLongRefusesTheSaveAndLeavesTheFile) {
  dir.write("vantor.INI", "[s]\nk=v\n");
  const int other =
      ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0); // a second program in the middle of its save
  std::uint32_t now = 0;
  int ticks = 0;
  const test::ScopedHook clock(setTickSource, [&] {
    ++ticks;
    return now += 1000;
  });
  try {
    ProfileFile(path).writeString("s", "k", "w");
    ADD_FAILURE() << "saved while another writer held the lock";
  } catch (const InOutError &e) {
    EXPECT_EQ(e.message(), QString("Unable to write to %1").arg(path));
  }
  EXPECT_EQ(ticks, 1 + static_cast<int>(ProfileStore::kLockWaitMs / 1000));
  EXPECT_EQ(contents(path), "[s]\nk=v\n");
  ::close(other);
  ProfileFile(path).writeString("s", "k", "w");
  EXPECT_EQ(contents(path), "[s]\nk=w\n");
}

TEST_F(ProfileBatch, TheLockOfACopyThatCrashedNeverBlocks) {
  dir.write("vantor.INI", "[s]\nk=v\n");
  test::LockHeldElsewhere other(dir.path(), 20);
  ASSERT_TRUE(other.holding());
  other.crash();
  std::uint32_t now = 0;
  int ticks = 0;
  const test::ScopedHook clock(setTickSource, [&] {
    ++ticks;
    return now += 1000;
  });
  ProfileFile(path).writeString("s", "k", "w");
  EXPECT_EQ(ticks, 1) << "waited for a lock nobody holds";
  EXPECT_EQ(contents(path), "[s]\nk=w\n");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"vantor.INI"});
}

TEST_F(ProfileBatch, TheNextSaveRemovesOnlyStaleTemporaryFilesOfItsOwn) {
  dir.write("vantor.INI", "[s]\nk=v\n");
  const QString crashed = dir.write("vantor.INI.tmp~a1B2c3", "[s]\nk=half");
  const QString busy = dir.write("vantor.INI.tmp~Zz9xY8", "[s]\n");
  const QStringList strangers = {dir.write("vantor.INI.tmp~abc", "x"),
                                 dir.write("vantor.INI.tmp~abc-12", "x"),
                                 dir.write("other.INI.tmp~a1B2c3", "x")};
  // A writer still at work holds its temporary file.
  const int held = ::open(QFile::encodeName(busy).constData(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);

  ProfileFile(path).writeString("s", "k", "w");
  EXPECT_FALSE(QFile::exists(crashed));
  EXPECT_TRUE(QFile::exists(busy));
  for (const QString &name : strangers)
    EXPECT_TRUE(QFile::exists(name)) << name.toStdString();
  ::close(held);
  EXPECT_EQ(contents(path), "[s]\nk=w\n");
}

} // namespace
} // namespace vantor::platform
