#include "archive/zipextractor.h"
#include "archive/zipheaderwalk.h"
#include "platform/errors.h"
#include "platform/usermessage.h"
#include "support/tempdir.h"
#include "zipwriter.h"

#include <QProcess>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::archive;
using vantor::test::ZipItem;
using vantor::test::ZipWriter;

void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

QByteArray threeStored() {
  ZipWriter w;
  w.add("a.txt", "alpha");
  w.add("b.txt", "bravo!");
  w.add("c.txt", "charlie");
  return w.build();
}

// An end record with no directory before it: what a writer that lost its
// directory leaves.
QByteArray emptyEnd() {
  return QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
}

struct WalkResult {
  std::vector<QByteArray> names;
  qint64 firstHeaderOffset = 0;
  qint64 scanCount = 0;
  QStringList messages;
  QString error; // stream error text, empty when none
};

WalkResult walk(const QByteArray &bytes, bool selfExtractor = false) {
  MemoryByteSource source(bytes);
  WalkResult result;
  const ScopedMessagePresenter presenter(
      [&](const UserMessage &message) { result.messages << message.text; });
  ZipHeaderWalk walker(source);
  try {
    walker.run(selfExtractor);
  } catch (const StreamError &e) {
    result.error = e.message();
  }
  for (const ZipDirEntry &entry : walker.entries)
    result.names.push_back(entry.name);
  result.firstHeaderOffset = walker.firstHeaderOffset;
  result.scanCount = walker.scanCount;
  return result;
}

// Stored data that contains every signature the walk looks for.
QByteArray trickyData() {
  static const char raw[] = "head PK\x03\x04 local PK\x01\x02 central PK\x05\x06 end "
                            "PK\x07\x08 desc tail";
  return QByteArray(raw, sizeof raw - 1) + QByteArray(37, 'x');
}

struct WalkCase {
  const char *label;
  QByteArray bytes;
  std::vector<QByteArray> names;
  qint64 firstHeaderOffset;
  QString error;
  QStringList messages;
};

class HeaderWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(HeaderWalk, ListsEntries) {
  const WalkCase &c = GetParam();
  const WalkResult r = walk(c.bytes);
  EXPECT_EQ(r.names, c.names);
  EXPECT_EQ(r.firstHeaderOffset, c.firstHeaderOffset);
  EXPECT_EQ(r.error, c.error);
  EXPECT_EQ(r.messages, c.messages);
}

std::vector<WalkCase> walkCases() {
  std::vector<WalkCase> cases;
  const QByteArray plain = threeStored();
  cases.push_back({"three_stored_in_order", plain, {"a.txt", "b.txt", "c.txt"}, 0, {}, {}});

  // The walk stops at the first central header: what follows is never read.
  cases.push_back({"stops_at_central_directory",
                   plain + QByteArray(10, '\0'),
                   {"a.txt", "b.txt", "c.txt"},
                   0,
                   {},
                   {}});

  ZipWriter w1;
  w1.add("a.txt", "alpha");
  w1.add("b.txt", "bravo!");
  w1.add("c.txt", "charlie");
  cases.push_back({"stub_of_100_bytes",
                   w1.build(QByteArray(100, 'S')),
                   {"a.txt", "b.txt", "c.txt"},
                   100,
                   {},
                   {}});
  cases.push_back({"stub_not_adjusted_and_comment",
                   w1.build(QByteArray(333, 'S'), false, "archive comment"),
                   {"a.txt", "b.txt", "c.txt"},
                   333,
                   {},
                   {}});

  // A stub ending in 'P' right before the signature.
  cases.push_back({"signature_after_a_P",
                   w1.build(QByteArray(99, 'S') + 'P'),
                   {"a.txt", "b.txt", "c.txt"},
                   100,
                   {},
                   {}});

  cases.push_back({"no_signature_byte_in_70000",
                   QByteArray(70000, 'A'),
                   {},
                   0,
                   {},
                   {"No valid zip entries found"}});

  // Cut in the middle of the second entry's data.
  ZipWriter w2;
  w2.add("first.bin", QByteArray(200, 'f'));
  w2.add("second.bin", QByteArray(5000, 's'));
  const QByteArray two = w2.build();
  const int secondData = 30 + 9 + 200 + 30 + 10;
  cases.push_back({"cut_in_second_entry",
                   two.left(secondData + 2500),
                   {"first.bin"},
                   0,
                   "Error 3 reading Zip file",
                   {}});
  // Cut in the first entry: the walk scans on and finds nothing.
  cases.push_back(
      {"cut_in_first_entry", two.left(30 + 9 + 100), {}, 0, {}, {"No valid zip entries found"}});

  // After one good entry: a header cut inside its fixed part.
  ZipWriter w3;
  w3.add("one", QByteArray(10, '1'));
  QByteArray cutHeader = w3.build().left(30 + 3 + 10);
  cutHeader += QByteArray("PK\x03\x04", 4) + QByteArray(18, '\0');
  cases.push_back({"second_header_cut", cutHeader, {"one"}, 0, "Error 2 reading Zip file", {}});
  // After one good entry: bytes that never form a signature up to the end.
  QByteArray trailing = w3.build().left(30 + 3 + 10) + QByteArray(23, '\0');
  cases.push_back({"signature_read_short", trailing, {"one"}, 0, "Error reading Zip File", {}});

  // Data descriptors: sizes zero in the local headers, stored data full of
  // signatures.
  ZipWriter w4;
  for (int i = 0; i < 3; ++i) {
    ZipItem item;
    item.name = "dd" + QByteArray::number(i);
    item.data = trickyData();
    item.descriptor = true;
    item.descriptorSignature = i != 1;
    item.deflate = i == 2;
    w4.add(item);
  }
  const QByteArray described = w4.build();
  cases.push_back({"data_descriptors", described, {"dd0", "dd1", "dd2"}, 0, {}, {}});
  // Without its central directory the descriptors themselves give the sizes.
  const qsizetype central = described.indexOf(QByteArray("PK\x01\x02\x14\x00", 6));
  // One descriptor without its signature cannot be found then.
  cases.push_back({"data_descriptors_without_directory",
                   described.left(central) + emptyEnd(),
                   {"dd0"},
                   0,
                   "Error 3 reading Zip file",
                   {}});
  ZipWriter w4b;
  for (int i = 0; i < 3; ++i) {
    ZipItem item;
    item.name = "ds" + QByteArray::number(i);
    item.data = trickyData();
    item.descriptor = true;
    item.deflate = i == 1;
    w4b.add(item);
  }
  const QByteArray signed_ = w4b.build();
  const qsizetype central2 = signed_.indexOf(QByteArray("PK\x01\x02\x14\x00", 6));
  cases.push_back({"signed_descriptors_without_directory",
                   signed_.left(central2) + emptyEnd(),
                   {"ds0", "ds1", "ds2"},
                   0,
                   QString(),
                   {}});

  ZipWriter w5;
  for (int i = 0; i < 2; ++i) {
    ZipItem item;
    item.name = "z" + QByteArray::number(i);
    item.data = trickyData();
    item.zip64 = true;
    item.descriptor = i == 1;
    w5.add(item);
  }
  cases.push_back({"zip64_fields", w5.build(), {"z0", "z1"}, 0, {}, {}});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderWalk, ::testing::ValuesIn(walkCases()),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(HeaderWalkLimits, ScanCountsSixtyThousandAndOneBytes) {
  const WalkResult r = walk(QByteArray(70000, 'A'));
  EXPECT_EQ(r.scanCount, 60001);
}

TEST(HeaderWalkLimits, HeaderBeyondTheLimitIsNotFound) {
  ZipWriter w;
  w.add("late", "x");
  EXPECT_TRUE(walk(w.build(QByteArray(60000, 'A'))).names.empty());
  EXPECT_EQ(walk(w.build(QByteArray(59999, 'A'))).names, std::vector<QByteArray>{"late"});
}

TEST(HeaderWalkLimits, LongNamesAreKeptWhole) {
  ZipWriter w;
  const QByteArray name(300, 'n');
  w.add(name, "x");
  EXPECT_EQ(walk(w.build()).names, std::vector<QByteArray>{name});
}

TEST(HeaderWalkLimits, EntryFieldsAsStored) {
  ZipWriter w;
  w.add("f.txt", QByteArray(1000, 'q'), true);
  MemoryByteSource source(w.build());
  const ScopedMessagePresenter presenter([](const UserMessage &) {});
  ZipHeaderWalk walker(source);
  walker.run(false);
  ASSERT_EQ(walker.entries.size(), 1u);
  const ZipDirEntry &e = walker.entries[0];
  EXPECT_EQ(e.method, 8);
  EXPECT_EQ(e.uncompressedSize, 1000u);
  EXPECT_EQ(e.crc32, test::crc32Of(QByteArray(1000, 'q')));
  EXPECT_EQ(e.nameLength, 5);
  EXPECT_EQ(e.modTime, 0x6000);
  EXPECT_EQ(e.modDate, 0x5A21);
  EXPECT_EQ(e.dataSize, e.compressedSize);
}

// Through the component: the file name decides where reading starts.
class ExtractorReading : public ::testing::Test {
protected:
  QWidget owner;
  TZipExtractor zip{&owner};
  QStringList shown;
  ScopedMessagePresenter presenter{[this](const UserMessage &message) { shown << message.text; }};
  int dirUpdates = 0;
  test::TempDir dir;

  void SetUp() override {
    zip.OnDirUpdate = [this](QObject *) { ++dirUpdates; };
  }
};

TEST_F(ExtractorReading, ExeIsReadFromOffset14000) {
  // A stub holding a header of its own; the real archive at 14000.
  ZipWriter fake;
  fake.add("fake.txt", "FAKE");
  QByteArray stub = fake.build();
  stub = QByteArray(50, 'M') + stub.left(30 + 8 + 4);
  stub += QByteArray(14000 - stub.size(), '\0');
  ZipWriter real;
  real.add("a.txt", "alpha");
  real.add("b.txt", "bravo!");
  real.add("c.txt", "charlie");
  const QByteArray bytes = real.build(stub);
  zip.setZipFilename(dir.write("x.exe", bytes));
  EXPECT_EQ(zip.entryCount(), 3);
  EXPECT_EQ(zip.firstHeaderOffset(), 14000);
  zip.setZipFilename(dir.write("x.zip", bytes));
  EXPECT_EQ(zip.firstHeaderOffset(), 50);
  EXPECT_EQ(zip.entries().front().name, "fake.txt");
  EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ExtractorReading, ShortExeStubDoesNotHideEntries) {
  ZipWriter w;
  w.add("a.txt", "alpha");
  w.add("b.txt", "bravo!");
  zip.setZipFilename(dir.write("small.exe", w.build(QByteArray(4000, 'M'))));
  EXPECT_EQ(zip.entryCount(), 2);
  EXPECT_EQ(zip.firstHeaderOffset(), 4000);
}

TEST_F(ExtractorReading, EntryCountIsZeroOnceTheNameIsCleared) {
  zip.setZipFilename(dir.write("three.zip", threeStored()));
  EXPECT_EQ(zip.entryCount(), 3);
  zip.setZipFilename(QString());
  EXPECT_EQ(zip.entryCount(), 0);
  EXPECT_EQ(dirUpdates, 2);
}

TEST_F(ExtractorReading, MissingArchiveGivesEmptyListWithoutMessage) {
  zip.setZipFilename(dir.file("nothing.zip"));
  EXPECT_EQ(zip.entryCount(), 0);
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_EQ(dirUpdates, 1);
}

TEST_F(ExtractorReading, StreamErrorReachesCallerAfterTheList) {
  ZipWriter w;
  w.add("first.bin", QByteArray(200, 'f'));
  w.add("second.bin", QByteArray(5000, 's'));
  const QString path = dir.write("cut.zip", w.build().left(2000));
  try {
    zip.setZipFilename(path);
    FAIL() << "no stream error";
  } catch (const StreamError &e) {
    EXPECT_EQ(e.message(), "Error 3 reading Zip file");
  }
  EXPECT_EQ(zip.zipFilename(), path);
  EXPECT_EQ(zip.entryCount(), 1);
  EXPECT_EQ(dirUpdates, 1);
}

TEST_F(ExtractorReading, NotEvenOneByteShowsTheMessage) {
  zip.setZipFilename(dir.write("empty.zip", QByteArray()));
  EXPECT_EQ(zip.entryCount(), 0);
  EXPECT_EQ(shown, QStringList{"No valid zip entries found"});
}

// Archives written by the zip tool: the entry count agrees with the tool's
// own listing, also for streamed (descriptor) and zip64 archives.
TEST_F(ExtractorReading, AgreesWithZipToolListing) {
  const QString src = dir.mkdir("src");
  dir.write("src/one.txt", QByteArray(3000, 'a'));
  dir.write("src/two.bin", trickyData().repeated(50));
  dir.write("src/sub/three.txt", "three");
  struct Row {
    QStringList args;
    QString name;
  };
  const std::vector<Row> rows = {
      {{"-q", "-r"}, "plain.zip"},
      {{"-q", "-r", "-0"}, "stored.zip"},
      {{"-q", "-r", "-fz"}, "zip64.zip"},
  };
  for (const Row &row : rows) {
    QProcess p;
    p.setWorkingDirectory(src);
    p.start("zip", row.args + QStringList{dir.file(row.name), "."});
    ASSERT_TRUE(p.waitForFinished()) << row.name.toStdString();
    ASSERT_EQ(p.exitCode(), 0) << row.name.toStdString();
    zip.setZipFilename(dir.file(row.name));
    EXPECT_EQ(zip.entryCount(), 4) << row.name.toStdString(); // 3 files and sub/
  }
  // Streamed from a pipe: the tool writes data descriptors.
  QProcess p;
  p.setWorkingDirectory(src);
  p.setStandardOutputFile(dir.file("streamed.zip"));
  p.start("sh", {"-c", "zip -q -0 - two.bin one.txt | cat"});
  ASSERT_TRUE(p.waitForFinished());
  zip.setZipFilename(dir.file("streamed.zip"));
  EXPECT_EQ(zip.entryCount(), 2);
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
}

} // namespace
