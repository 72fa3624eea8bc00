#include "gamelist/gamelistreader.h"
#include "gamelist/listingcache.h"
#include "gamelist/setcheck.h"
#include "gamelist/setchecker.h"

#include "archive/zipwriter.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <map>

using namespace vantor;
using namespace vantor::gamelist;
using vantor::test::ZipWriter;

void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

const QByteArray kAlpha = "alpha", kBravo = "bravo", kCharlie = "charlie";

QByteArray crcHex(const QByteArray &data) {
  return QByteArray::number(test::crc32Of(data), 16).rightJustified(8, '0');
}

// A BIOS, a parent that needs it, a clone of the parent stored split, a set
// with a rom never dumped, a clone whose parent the list does not know and a
// set that names itself as its BIOS.
QByteArray chainList() {
  QByteArray xml = R"(<datafile>
 <game name="bios" isbios="yes"><rom name="bios.bin" size="5" crc="{A}"/></game>
 <game name="parent" romof="bios"><rom name="p.bin" size="5" crc="{B}"/>
  <rom name="bios.bin" merge="bios.bin" size="5" crc="{A}"/></game>
 <game name="clone" cloneof="parent" romof="parent"><rom name="c.bin" size="7" crc="{C}"/>
  <rom name="p.bin" merge="p.bin" size="5" crc="{B}"/>
  <rom name="bios.bin" merge="bios.bin" size="5" crc="{A}"/></game>
 <game name="nodump"><rom name="p.bin" size="5" crc="{B}"/>
  <rom name="never.bin" size="9" status="nodump"/></game>
 <game name="orphan" cloneof="absent" romof="absent"><rom name="c.bin" size="7" crc="{C}"/>
  <rom name="x.bin" merge="x.bin" size="5" crc="{B}"/></game>
 <game name="loop" romof="loop"><rom name="p.bin" merge="p.bin" size="5" crc="{B}"/></game>
</datafile>)";
  return xml.replace("{A}", crcHex(kAlpha).toUpper())
      .replace("{B}", crcHex(kBravo))
      .replace("{C}", crcHex(kCharlie));
}

std::shared_ptr<const GameList> readList(const QByteArray &xml) {
  QBuffer buffer;
  buffer.setData(xml);
  buffer.open(QIODevice::ReadOnly);
  return GameListReader::read(buffer, QStringLiteral("t.dat"));
}

using Archive = std::vector<std::pair<const char *, QByteArray>>;
using Archives = std::map<std::string, Archive>;

void writeArchives(const test::TempDir &dir, const Archives &archives) {
  for (const auto &[name, files] : archives) {
    ZipWriter zip;
    for (const auto &[file, data] : files)
      zip.add(file, data, true);
    dir.write(QString::fromStdString(name) + QStringLiteral(".zip"), zip.build());
  }
}

struct Case {
  const char *name;
  Archives archives;
  const char *checked;
  SetState state;
  QStringList missing, wrong, missingArchives;
  int borrowed;
};

class SetChecks : public ::testing::TestWithParam<Case> {};

TEST_P(SetChecks, MatchTheList) {
  const Case &c = GetParam();
  test::TempDir dir;
  writeArchives(dir, c.archives);
  const auto list = readList(chainList());
  const SetCheck check =
      checkArchive(*list, dir.file(QString::fromLatin1(c.checked)), {dir.path()});
  EXPECT_EQ(check.state, c.state);
  EXPECT_EQ(check.missing, c.missing);
  EXPECT_EQ(check.wrong, c.wrong);
  EXPECT_EQ(check.missingArchives, c.missingArchives);
  EXPECT_EQ(int(check.borrowed.size()), c.borrowed);
}

const Archive kBios = {{"bios.bin", kAlpha}};
const Archive kParent = {{"p.bin", kBravo}};
const Archive kClone = {{"c.bin", kCharlie}};

INSTANTIATE_TEST_SUITE_P(
    Table, SetChecks,
    ::testing::Values(
        Case{"complete",
             {{"bios", kBios}, {"parent", kParent}},
             "parent.zip",
             SetState::Complete,
             {},
             {},
             {},
             1},
        Case{"missingRom",
             {{"bios", kBios}, {"parent", {{"other.bin", kBravo}}}},
             "parent.zip",
             SetState::Incomplete,
             {"p.bin"},
             {},
             {},
             1},
        Case{"wrongCrc",
             {{"bios", kBios}, {"parent", {{"p.bin", "bravX"}}}},
             "parent.zip",
             SetState::Incomplete,
             {},
             {"p.bin"},
             {},
             1},
        Case{"wrongSize",
             {{"bios", kBios}, {"parent", {{"p.bin", "bravo!"}}}},
             "parent.zip",
             SetState::Incomplete,
             {},
             {"p.bin"},
             {},
             1},
        Case{"splitClone",
             {{"bios", kBios}, {"parent", kParent}, {"clone", kClone}},
             "clone.zip",
             SetState::Complete,
             {},
             {},
             {},
             2},
        Case{"cloneWithoutParentArchive",
             {{"bios", kBios}, {"clone", kClone}},
             "clone.zip",
             SetState::Incomplete,
             {"p.bin"},
             {},
             {"parent.zip"},
             1},
        Case{"biosMissing",
             {{"parent", kParent}},
             "parent.zip",
             SetState::Incomplete,
             {"bios.bin"},
             {},
             {"bios.zip"},
             0},
        Case{"wrongInParent",
             {{"bios", kBios}, {"parent", {{"p.bin", "BRAVO"}}}, {"clone", kClone}},
             "clone.zip",
             SetState::Incomplete,
             {},
             {"p.bin"},
             {},
             1},
        Case{"mergedClone",
             {{"clone", {{"c.bin", kCharlie}, {"p.bin", kBravo}, {"bios.bin", kAlpha}}}},
             "clone.zip",
             SetState::Complete,
             {},
             {},
             {},
             0},
        Case{"nodumpNotCounted",
             {{"nodump", kParent}},
             "nodump.zip",
             SetState::Complete,
             {},
             {},
             {},
             0},
        Case{"parentUnknownToList",
             {{"orphan", kClone}},
             "orphan.zip",
             SetState::Incomplete,
             {"x.bin"},
             {},
             {"absent.zip"},
             0},
        Case{"namesCaseBlind",
             {{"bios", {{"BIOS.BIN", kAlpha}}}, {"parent", {{"P.Bin", kBravo}}}},
             "parent.zip",
             SetState::Complete,
             {},
             {},
             {},
             1},
        Case{"selfNamedBios",
             {{"loop", kClone}},
             "loop.zip",
             SetState::Incomplete,
             {"p.bin"},
             {},
             {},
             0},
        Case{
            "notInList", {{"stranger", kClone}}, "stranger.zip", SetState::Unknown, {}, {}, {}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SetCheck, BorrowsFromTheNearestArchiveThatHoldsTheRom) {
  test::TempDir dir;
  writeArchives(
      dir,
      {{"bios", kBios}, {"parent", {{"p.bin", kBravo}, {"BIOS.bin", kAlpha}}}, {"clone", kClone}});
  const auto list = readList(chainList());
  const SetCheck check = checkArchive(*list, dir.file("clone.zip"), {dir.path()});
  ASSERT_EQ(check.borrowed.size(), 2u);
  EXPECT_EQ(check.borrowed[1].archivePath, dir.file("parent.zip"));
  EXPECT_EQ(check.borrowed[1].name, QStringLiteral("bios.bin"));
  EXPECT_EQ(check.borrowed[1].nameInArchive, QStringLiteral("BIOS.bin"));
}

TEST(SetCheck, LooksInTheFoldersInOrder) {
  test::TempDir roms, cdroms;
  writeArchives(roms, {{"bios", {{"bios.bin", "wrong"}}}});
  writeArchives(cdroms, {{"bios", kBios}, {"parent", kParent}});
  const auto list = readList(chainList());
  const SetCheck check =
      checkArchive(*list, cdroms.file("parent.zip"), {roms.path(), cdroms.path()});
  EXPECT_EQ(check.wrong, QStringList("bios.bin")) << "the ROM folder's BIOS comes first";
}

TEST(SetCheck, AnArchiveWithoutDirectoryIsUnknown) {
  test::TempDir dir;
  dir.write("parent.zip", "not an archive at all");
  const auto list = readList(chainList());
  EXPECT_EQ(checkArchive(*list, dir.file("parent.zip"), {dir.path()}).state, SetState::Unknown);
}

class Checker : public ::testing::Test {
protected:
  // Runs a whole check and returns the results in catalogue order.
  std::vector<SetCheck> runAll(SetChecker &checker, const QStringList &archives) {
    std::vector<SetCheck> results(size_t(archives.size()));
    QObject::connect(&checker, &SetChecker::checked,
                     [&](int i, const SetCheck &check) { results[size_t(i)] = check; });
    QSignalSpy finished(&checker, &SetChecker::finished);
    checker.start(list_, archives, {dir_.path()});
    EXPECT_TRUE(finished.wait(20000)) << "the check did not finish within 20 s";
    QObject::disconnect(&checker, &SetChecker::checked, nullptr, nullptr);
    return results;
  }
  QStringList catalogue() const {
    return {dir_.file("bios.zip"), dir_.file("clone.zip"), dir_.file("parent.zip")};
  }

  test::TempDir dir_, cache_;
  std::shared_ptr<const GameList> list_ = readList(chainList());
};

TEST_F(Checker, ChecksInTheBackgroundAndAgainFromTheCache) {
  writeArchives(dir_, {{"bios", kBios}, {"parent", kParent}, {"clone", kClone}});
  const QString cacheFile = cache_.file("sub/listings");
  SetChecker checker(cacheFile);
  const std::vector<SetCheck> first = runAll(checker, catalogue());
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[1].state, SetState::Complete);
  ASSERT_TRUE(QFile::exists(cacheFile));

  // The cache alone answers, even with the archive's bytes gone bad behind
  // an unchanged size and time.
  QFile parent(dir_.file("parent.zip"));
  const QDateTime modified = QFileInfo(parent).lastModified();
  ASSERT_TRUE(parent.open(QIODevice::ReadWrite));
  parent.write(QByteArray(int(parent.size()), 'x'));
  ASSERT_TRUE(parent.flush());
  ASSERT_TRUE(parent.setFileTime(modified, QFileDevice::FileModificationTime));
  parent.close();
  ListingCache cache(cacheFile);
  cache.listing(dir_.file("parent.zip"));
  EXPECT_EQ(cache.reads(), 0);
  EXPECT_EQ(runAll(checker, catalogue()), first);

  // A changed archive is read again.
  writeArchives(dir_, {{"parent", {{"p.bin", kAlpha}}}});
  // Same size as before: the time alone tells it changed.
  QFile changed(dir_.file("parent.zip"));
  ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
  ASSERT_TRUE(changed.setFileTime(modified.addSecs(1), QFileDevice::FileModificationTime));
  changed.close();
  const std::vector<SetCheck> third = runAll(checker, catalogue());
  EXPECT_EQ(third[1].wrong, QStringList("p.bin"));
}

// A listing handed out stays where it is while many more are read (a
// clone's check holds its own archive's while its parents' are added).
TEST_F(Checker, AListingKeepsItsPlaceWhileOthersAreRead) {
  Archives archives{{"parent", kParent}};
  for (int i = 0; i < 100; ++i)
    archives["other" + std::to_string(i)] = kBios;
  writeArchives(dir_, archives);
  ListingCache cache{QString()};
  const ArchiveListing *parent = cache.listing(dir_.file("parent.zip"));
  ASSERT_NE(parent, nullptr);
  const std::vector<ListedFile> files = parent->files();
  for (int i = 0; i < 100; ++i)
    cache.listing(dir_.file(QStringLiteral("other%1.zip").arg(i)));
  ASSERT_EQ(parent->files().size(), files.size());
  EXPECT_EQ(parent->files().front().name, files.front().name);
}

TEST_F(Checker, ADamagedCacheIsReadAsEmpty) {
  writeArchives(dir_, {{"bios", kBios}, {"parent", kParent}, {"clone", kClone}});
  const QString cacheFile = cache_.file("listings");
  for (const QByteArray &junk : {QByteArray("VLC1"), QByteArray("\x56\x4c\x43\x31\xff\xff\xff\xff"),
                                 QByteArray(300, '\xff')}) {
    QFile file(cacheFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(junk);
    file.close();
    SetChecker checker(cacheFile);
    EXPECT_EQ(runAll(checker, catalogue())[1].state, SetState::Complete);
  }
}

// Stopped once the run has sent every result (it saves its listings last),
// before any of them was delivered.
TEST_F(Checker, AStoppedCheckSendsNothingMore) {
  writeArchives(dir_, {{"bios", kBios}, {"parent", kParent}, {"clone", kClone}});
  const QString saved = cache_.file("listings");
  SetChecker checker(saved);
  int results = 0;
  QObject::connect(&checker, &SetChecker::checked, [&] { ++results; });
  checker.start(list_, catalogue(), {dir_.path()});
  for (QDeadlineTimer deadline(30000); !QFileInfo::exists(saved) && !deadline.hasExpired();)
    QThread::msleep(1);
  ASSERT_TRUE(QFileInfo::exists(saved));
  checker.stop();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(results, 0);
}

} // namespace
