#include "archive/zipwriter.h"
#include "platform/process.h"
#include "support/tempdir.h"
#include "unzipdriver.h"
#include "unzipfixture.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <utime.h>

using namespace vantor::test;

void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

// Every file below `root` with its content, by relative path.
QMap<QString, QByteArray> tree(const QString &root) {
  QMap<QString, QByteArray> files;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    files.insert(QDir(root).relativeFilePath(path),
                 f.open(QIODevice::ReadOnly) ? f.readAll() : "?");
  }
  return files;
}

QByteArray readFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray noise(int size, quint32 seed) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator rng(seed);
  for (char &c : data)
    c = char(rng.bounded(256));
  return data;
}

QByteArray text(int size) {
  QByteArray data;
  for (int i = 0; data.size() < size; ++i)
    data += "line " + QByteArray::number(i) + " of some text that compresses\n";
  return data.left(size);
}

// `unzip` ends with 1 after mere warnings (such as bytes in front of the archive).
// Started through runAndWait rather than QProcess: Qt starts a child with a
// clone that shares this process's memory and thread state, and the child's
// calls then corrupt the thread checker's bookkeeping of this thread, which
// shows as false races in the threaded extraction that follows.
bool runTool(const QString &folder, const QString &program, const QStringList &args,
             int worstExit = 0) {
  const vantor::platform::RunResult result =
      vantor::platform::runAndWait(QStringList{program} + args, folder);
  return result.exitedNormally() && result.exitCode <= worstExit;
}

void setTime(const QString &path, int year) {
  const qint64 t = QDateTime(QDate(year, 6, 1), QTime(12, 0)).toSecsSinceEpoch();
  const utimbuf times{time_t(t), time_t(t)};
  utime(QFile::encodeName(path).constData(), &times);
}

class UnzipExec : public UnzipFixture {
protected:
  QStringList tempLeftovers() const {
    QStringList found;
    for (const QString &path : tree(out).keys())
      if (path.contains(".vtmp"))
        found << path;
    return found;
  }
};

TEST_F(UnzipExec, ReportsItsVersion) {
  ASSERT_NE(unzip.version(), nullptr);
  EXPECT_EQ(unzip.version()(), 140);
}

struct RoundTrip {
  const char *label;
  bool folders;
  QMap<QString, QByteArray> expected;
};

class RoundTrips : public UnzipExec, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTrips, ExtractWhatWasStored) {
  ZipWriter w;
  w.add("top.txt", text(3000), true);
  w.add("dir/", "");
  w.add("dir/stored.bin", noise(777, 1));
  w.add("dir/deep/deflated.txt", text(20000), true);
  w.add("dir/deep/empty", "");
  UnzipRun run = runOn(w.build());
  run.folders = GetParam().folders;
  EXPECT_EQ(unzip.run(run), 4);
  EXPECT_TRUE(run.messages().empty());
  EXPECT_EQ(tree(out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, RoundTrips,
                         ::testing::Values(RoundTrip{"kept",
                                                     true,
                                                     {{"top.txt", text(3000)},
                                                      {"dir/stored.bin", noise(777, 1)},
                                                      {"dir/deep/deflated.txt", text(20000)},
                                                      {"dir/deep/empty", ""}}},
                                           RoundTrip{"flattened",
                                                     false,
                                                     {{"top.txt", text(3000)},
                                                      {"stored.bin", noise(777, 1)},
                                                      {"deflated.txt", text(20000)},
                                                      {"empty", ""}}}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(UnzipExec, AgreesWithUnzipOnToolMadeArchives) {
  const QString src = dir.mkdir("src");
  dir.write("src/a.txt", text(100000));
  dir.write("src/b.bin", noise(300000, 2));
  dir.write("src/big.txt", text(9 << 20)); // above the whole-entry limit
  dir.write("src/sub/c.txt", "c");
  struct Row {
    QStringList zipArgs;
    const char *name;
  };
  for (const Row &row : {Row{{"-q", "-r"}, "plain.zip"}, Row{{"-q", "-r", "-0"}, "stored.zip"},
                         Row{{"-q", "-r", "-fz"}, "zip64.zip"}}) {
    ASSERT_TRUE(runTool(src, "zip", row.zipArgs + QStringList{dir.file(row.name), "."}));
    const QString theirs = dir.mkdir(QString("unzip-") + row.name);
    ASSERT_TRUE(runTool(theirs, "unzip", {"-qq", "-o", dir.file(row.name)}));
    const QString ours = dir.mkdir(QString("ours-") + row.name);
    QDir::setCurrent(ours);
    UnzipRun run;
    run.archive = QFile::encodeName(dir.file(row.name)).toStdString();
    run.folders = true;
    EXPECT_EQ(unzip.run(run), 4) << row.name;
    EXPECT_EQ(tree(ours), tree(theirs)) << row.name;
  }
}

// Data in front of the archive: a self-extractor's stub with adjusted
// offsets, and a stub simply concatenated before an archive.
TEST_F(UnzipExec, ExtractsWhatUnzipExtractsBehindAStub) {
  const QString src = dir.mkdir("src");
  dir.write("src/a.txt", text(5000));
  dir.write("src/b.bin", noise(5000, 3));
  ASSERT_TRUE(runTool(src, "zip", {"-q", dir.file("plain.zip"), "a.txt", "b.bin"}));
  const QByteArray stub = noise(20000, 4);
  dir.write("concatenated.zip", stub + readFile(dir.file("plain.zip")));
  ZipWriter w;
  w.add("a.txt", text(5000), true);
  w.add("b.bin", noise(5000, 3));
  dir.write("adjusted.zip", w.build(stub, true, "a comment"));
  for (const char *name : {"concatenated.zip", "adjusted.zip"}) {
    const QString theirs = dir.mkdir(QString("unzip-") + name);
    ASSERT_TRUE(runTool(theirs, "unzip", {"-qq", "-o", dir.file(name)}, 1)) << name;
    const QString ours = dir.mkdir(QString("ours-") + name);
    QDir::setCurrent(ours);
    UnzipRun run;
    run.archive = QFile::encodeName(dir.file(name)).toStdString();
    EXPECT_EQ(unzip.run(run), 2) << name;
    EXPECT_EQ(tree(ours), tree(theirs)) << name;
    EXPECT_EQ(tree(ours).size(), 2) << name;
  }
}

TEST_F(UnzipExec, ExtractsDescriptorAndZip64Entries) {
  ZipWriter w;
  QMap<QString, QByteArray> expected;
  for (int i = 0; i < 4; ++i) {
    ZipItem item;
    item.name = "e" + QByteArray::number(i);
    item.data = QByteArray("PK\x03\x04 PK\x01\x02 PK\x07\x08", 15) + text(500 + i);
    item.descriptor = i != 3;
    item.descriptorSignature = i != 1;
    item.zip64 = i >= 2;
    item.deflate = i == 0;
    w.add(item);
    expected.insert(item.name, item.data);
  }
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run), 4);
  EXPECT_EQ(tree(out), expected);
}

struct ExistingCase {
  const char *label;
  bool overwrite, freshen, update;
  // Existing files: "older" (2020), "newer" (2035); "missing" is absent.
  QStringList written; // which of older/newer/missing end up from the archive
};

class ExistingFiles : public UnzipExec, public ::testing::WithParamInterface<ExistingCase> {};

TEST_P(ExistingFiles, FollowTheSwitches) {
  const ExistingCase &c = GetParam();
  ZipWriter w;
  for (const char *name : {"older", "newer", "missing"})
    w.add(name, QByteArray("from archive ") + name); // dated 2025
  dir.write("out/older", "old");
  dir.write("out/newer", "new");
  setTime(out + "/older", 2020);
  setTime(out + "/newer", 2035);
  UnzipRun run = runOn(w.build());
  run.overwrite = c.overwrite;
  run.freshen = c.freshen;
  run.update = c.update;
  EXPECT_EQ(unzip.run(run), c.written.size());
  for (const char *name : {"older", "newer", "missing"}) {
    const QByteArray content = readFile(out + "/" + name);
    EXPECT_EQ(content.startsWith("from archive"), c.written.contains(name)) << name;
  }
  EXPECT_TRUE(tempLeftovers().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ExistingFiles,
    ::testing::Values(ExistingCase{"keep", false, false, false, {"missing"}},
                      ExistingCase{"overwrite", true, false, false, {"older", "newer", "missing"}},
                      ExistingCase{"freshen", false, true, false, {"older"}},
                      ExistingCase{"update", false, false, true, {"older", "missing"}},
                      ExistingCase{
                          "update_wins_over_freshen", false, true, true, {"older", "missing"}}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(UnzipExec, SecondRunWithUpdateFindsNothingNewer) {
  ZipWriter w;
  w.add("a", "1");
  w.add("b", "2");
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run), 2);
  run.update = true;
  EXPECT_EQ(unzip.run(run), 0);
}

TEST_F(UnzipExec, TestModeChecksEveryEntryAndWritesNothing) {
  ZipWriter w;
  w.add("good1", text(4000), true);
  w.add("bad", QByteArray(1000, 'b'));
  w.add("good2", noise(3000, 5));
  QByteArray bytes = w.build();
  const qsizetype bad = bytes.indexOf(QByteArray(1000, 'b'));
  bytes[bad + 500] = 'X';
  UnzipRun run = runOn(bytes);
  run.test = true;
  EXPECT_EQ(unzip.run(run), 2);
  EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_CRC));
  EXPECT_TRUE(tree(out).isEmpty());
}

TEST_F(UnzipExec, DamagedEntriesNeverAppearUnderTheirNames) {
  ZipWriter w;
  w.add("ok.txt", text(2000), true);
  w.add("stored.bin", QByteArray(3000, 's'));
  w.add("big.txt", text(10 << 20), true); // streamed
  // Copied piecewise: the damage sits in its last piece, after two good ones.
  w.add("large.bin", noise(1300000, 4));
  // Inflates cleanly, and is written piece by piece before its sum is known.
  const QByteArray sumless = text(1300000);
  w.add("badsum.txt", sumless, true);
  QByteArray bytes = w.build();
  QByteArray sum(4, 0);
  qToLittleEndian(crc32Of(sumless), sum.data());
  QByteArray wrongSum = sum;
  wrongSum[0] = char(~sum[0]);
  bytes.replace(bytes.indexOf(sum), 4, wrongSum);     // local header
  bytes.replace(bytes.lastIndexOf(sum), 4, wrongSum); // central directory
  bytes[bytes.indexOf(QByteArray(3000, 's')) + 10] = 'Y';
  const qsizetype bigData = bytes.indexOf("big.txt") + 7;
  bytes[bigData + 300000] = char(bytes[bigData + 300000] ^ 0x55);
  const qsizetype largeData = bytes.indexOf("large.bin") + 9;
  bytes[largeData + 1200000] = char(bytes[largeData + 1200000] ^ 0x01);
  UnzipRun run = runOn(bytes);
  EXPECT_EQ(unzip.run(run), 1);
  EXPECT_EQ(tree(out).keys(), QStringList{"ok.txt"});
  int errors = 0;
  for (const UnzipEvent &e : run.messages())
    errors += e.errorCode == UNZIP_ERR_CRC || e.errorCode == UNZIP_ERR_DATA;
  EXPECT_EQ(errors, 4);
}

TEST_F(UnzipExec, WriteErrorLeavesNoFile) {
  ZipWriter w;
  w.add("small", "fits");
  w.add("large", noise(200000, 6));
  UnzipRun run = runOn(w.build());
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 100000;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  const int32_t result = unzip.run(run);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_WRITE));
  EXPECT_EQ(tree(out).keys(), QStringList{"small"});
}

TEST_F(UnzipExec, CallbackOrderForEachFile) {
  ZipWriter w;
  w.add("one", "1");
  w.add("two", text((2 << 20) + 5), true); // three progress steps
  w.add("three", "");
  UnzipRun run = runOn(w.build());
  unzip.run(run);
  std::vector<int32_t> actions;
  std::vector<std::string> names;
  for (const UnzipEvent &e : run.events) {
    actions.push_back(e.action);
    if (e.action == UNZIP_ACTION_FILE_BEGINS)
      names.push_back(e.text + ":" + std::to_string(e.fileSize));
  }
  EXPECT_EQ(actions, (std::vector<int32_t>{1, 2, 1, 2, 2, 2, 1, 2, 3}));
  EXPECT_EQ(names,
            (std::vector<std::string>{"one:1", "two:" + std::to_string((2 << 20) + 5), "three:0"}));
}

TEST_F(UnzipExec, ManyEntriesAreReportedInArchiveOrder) {
  ZipWriter w;
  QMap<QString, QByteArray> expected;
  std::vector<std::string> order;
  for (int i = 0; i < 300; ++i) {
    const QByteArray name = "f" + QByteArray::number((i * 7919) % 1000);
    const QByteArray data = i % 3 ? text(100 + i * 37) : noise(50 + i, quint32(i));
    w.add(name, data, i % 2);
    expected.insert(name, data);
    order.push_back(name.toStdString());
  }
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run), 300);
  std::vector<std::string> seen;
  for (const UnzipEvent &e : run.events)
    if (e.action == UNZIP_ACTION_FILE_BEGINS)
      seen.push_back(e.text);
  EXPECT_EQ(seen, order);
  EXPECT_EQ(tree(out), expected);
}

TEST_F(UnzipExec, StopsWhenTheCallbackSaysSo) {
  ZipWriter w;
  for (int i = 0; i < 40; ++i)
    w.add("f" + QByteArray::number(i), text(5000 + i), true);
  struct Row {
    int stopAtFile; // 1-based file whose begin (or first step) answers 1
    bool atStep;
  };
  for (const Row row : {Row{2, false}, Row{3, true}}) {
    freshOut();
    UnzipRun run = runOn(w.build());
    int begun = 0;
    run.onEvent = [&](const UnzipEvent &e) {
      begun += e.action == UNZIP_ACTION_FILE_BEGINS;
      const bool here = begun == row.stopAtFile &&
                        e.action == (row.atStep ? UNZIP_ACTION_PROGRESS : UNZIP_ACTION_FILE_BEGINS);
      return here ? 1 : 0;
    };
    EXPECT_EQ(unzip.run(run), row.stopAtFile - 1);
    EXPECT_EQ(tree(out).size(), row.stopAtFile - 1);
    EXPECT_TRUE(tempLeftovers().isEmpty());
    EXPECT_EQ(run.events.back().action, UNZIP_ACTION_BATCH_END);
    EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_CANCELLED));
  }
}

// Header bytes for which `wrong` decrypts the check byte to the CRC's high
// byte (`passes`) or to neither value the reader accepts.
quint32 seedFor(ZipItem item, const QByteArray &wrong, bool passes) {
  const quint8 crcHigh = quint8(crc32Of(item.data) >> 24);
  for (quint32 seed = 0;; ++seed) {
    item.cryptSeed = seed;
    const QByteArray header = encryptPayload(item, {});
    ZipCryptoKeys keys(wrong);
    quint8 check = 0;
    for (char c : header)
      check = keys.decrypt(quint8(c));
    if (passes ? check == crcHigh : check != crcHigh && check != item.dosTime >> 8)
      return seed;
  }
}

// Fixed archive bytes: a wrong password is stopped by the check byte or, one
// time in 256, gets past it and fails on the data; both are wrong passwords.
TEST_F(UnzipExec, Passwords) {
  struct Row {
    const char *password;
    bool deflate;
    bool checkBytePasses;
    int32_t result;
  };
  for (const Row row :
       {Row{"right", false, false, 2}, Row{"right", true, false, 2}, Row{"", true, false, 1},
        Row{"wrong", true, false, 1}, Row{"wrong", false, true, 1}, Row{"wrong", true, true, 1}}) {
    const std::string label = std::string(row.password) + (row.deflate ? " deflated" : " stored") +
                              (row.checkBytePasses ? " past the check byte" : "");
    freshOut();
    ZipItem item;
    item.name = "secret.txt";
    item.data = text(7000);
    item.deflate = row.deflate;
    item.password = "right";
    if (row.result != 2 && *row.password)
      item.cryptSeed = seedFor(item, row.password, row.checkBytePasses);
    ZipWriter w;
    w.add(item);
    w.add("plain.txt", "plain");
    UnzipRun run = runOn(w.build());
    run.password = row.password;
    EXPECT_EQ(unzip.run(run), row.result) << label;
    const bool right = row.result == 2;
    EXPECT_EQ(run.hasMessageWithCode(UNZIP_ERR_PASSWORD), !right) << label;
    EXPECT_FALSE(run.hasMessageWithCode(UNZIP_ERR_DATA) || run.hasMessageWithCode(UNZIP_ERR_CRC))
        << label;
    EXPECT_EQ(QFile::exists(out + "/secret.txt"), right) << label;
    EXPECT_EQ(readFile(out + "/plain.txt"), "plain") << label;
    EXPECT_TRUE(tempLeftovers().isEmpty()) << label;
    if (right) {
      EXPECT_EQ(readFile(out + "/secret.txt"), text(7000)) << label;
    }
  }
}

// Found by fuzzing: libzip leaked when asked to open these, so they are
// refused before it is asked.
TEST_F(UnzipExec, EncryptedEntriesItCannotOpen) {
  struct Row {
    quint16 flags;
    const char *password;
    int32_t code;
  };
  for (const Row row :
       {Row{0x0041, "secret", UNZIP_ERR_DATA}, Row{0x0001, "", UNZIP_ERR_PASSWORD}}) {
    freshOut();
    ZipWriter w;
    ZipItem item;
    item.name = "locked.bin";
    item.data = text(3000);
    item.extraFlags = row.flags;
    w.add(item);
    w.add("open.txt", "open");
    UnzipRun run = runOn(w.build());
    run.password = row.password;
    EXPECT_EQ(unzip.run(run), 1) << row.flags;
    EXPECT_TRUE(run.hasMessageWithCode(row.code)) << row.flags;
    EXPECT_FALSE(QFile::exists(out + "/locked.bin"));
  }
}

TEST_F(UnzipExec, FileSpecificationsSelectEntries) {
  ZipWriter w;
  w.add("a.txt", "a");
  w.add("b.TXT", "b");
  w.add("sub/c.txt", "c");
  w.add("d.bin", "d");
  UnzipRun run = runOn(w.build());
  run.patterns = {"*.txt", "d.?in"};
  run.folders = true;
  EXPECT_EQ(unzip.run(run), 4);
  run.patterns = {"sub/*"};
  freshOut();
  EXPECT_EQ(unzip.run(run), 1);
  EXPECT_EQ(tree(out).keys(), QStringList{"sub/c.txt"});
}

struct HostileName {
  const char *label;
  QByteArray name;
  QString keptAs; // with folder names
  QString flatAs; // without
};

class HostileNames : public UnzipExec, public ::testing::WithParamInterface<HostileName> {};

TEST_P(HostileNames, StayInsideTheFolder) {
  const HostileName &c = GetParam();
  for (const bool folders : {true, false}) {
    freshOut();
    ZipWriter w;
    w.add(c.name, "payload");
    UnzipRun run = runOn(w.build(), "hostile.zip");
    run.folders = folders;
    EXPECT_EQ(unzip.run(run), 1);
    EXPECT_EQ(tree(out).keys(), QStringList{folders ? c.keptAs : c.flatAs});
    // Beside the output folder: only the archive.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"hostile.zip", "out"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileNames,
    ::testing::Values(
        HostileName{"parent", "../evil.txt", "evil.txt", "evil.txt"},
        HostileName{"parents_inside", "sub/../../x/evil.txt", "sub/x/evil.txt", "evil.txt"},
        HostileName{"absolute", "/vantor-test-absolute/evil.txt", "vantor-test-absolute/evil.txt",
                    "evil.txt"},
        HostileName{"drive", "C:\\dos\\evil.txt", "dos/evil.txt", "evil.txt"},
        HostileName{"backslash_parent", "a\\..\\..\\evil.txt", "a/evil.txt", "evil.txt"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(UnzipExec, LinksAreNeitherWrittenNorFollowed) {
  const QString outside = dir.mkdir("outside");
  ZipWriter w;
  ZipItem link;
  link.name = "link";
  link.data = QFile::encodeName(outside);
  link.unixMode = 0120777;
  w.add(link);
  w.add("plain.txt", "plain");
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run), 1);
  EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_NAME));
  EXPECT_FALSE(QFileInfo(out + "/link").exists());

  // A link already in the folder is not followed either.
  ASSERT_TRUE(QFile::link(outside, out + "/trap"));
  ZipWriter w2;
  w2.add("trap/evil.txt", "payload");
  UnzipRun run2 = runOn(w2.build(), "b.zip");
  run2.folders = true;
  EXPECT_EQ(unzip.run(run2), 0);
  EXPECT_TRUE(run2.hasMessageWithCode(UNZIP_ERR_WRITE));
  EXPECT_TRUE(QDir(outside).isEmpty());
}

TEST_F(UnzipExec, OverlongNamesAreRefused) {
  ZipWriter w;
  w.add(QByteArray(300, 'n'), "too long");
  w.add("fine", "ok");
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run), 1);
  EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_NAME));
}

struct BadRecord {
  const char *label;
  std::function<void(UnzipCommand &)> tweak;
};

class BadRecords : public UnzipExec, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(BadRecords, AreRefusedWithAMessage) {
  ZipWriter w;
  w.add("a", "a");
  UnzipRun run = runOn(w.build());
  EXPECT_EQ(unzip.run(run, GetParam().tweak), 0);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0].action, UNZIP_ACTION_MESSAGE);
  EXPECT_EQ(run.events[0].errorCode, UNZIP_ERR_RECORD);
  EXPECT_TRUE(tree(out).isEmpty());
}

char unterminated[300];
const char *unterminatedBuffer() {
  std::memset(unterminated, 'x', sizeof unterminated);
  return unterminated;
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadRecords,
    ::testing::Values(BadRecord{"version", [](UnzipCommand &c) { c.version = 139; }},
                      BadRecord{"check_value", [](UnzipCommand &c) { c.checkValue = 8; }},
                      BadRecord{"password_unterminated",
                                [](UnzipCommand &c) { c.password = unterminatedBuffer(); }},
                      BadRecord{"path_unterminated",
                                [](UnzipCommand &c) { c.zipFilename = unterminatedBuffer(); }},
                      BadRecord{"spec_unterminated",
                                [](UnzipCommand &c) {
                                  c.fileSpecCount = 1;
                                  c.fileSpecs[0] = unterminatedBuffer();
                                }},
                      BadRecord{"too_many_specs", [](UnzipCommand &c) { c.fileSpecCount = 4001; }},
                      BadRecord{"negative_specs", [](UnzipCommand &c) { c.fileSpecCount = -1; }}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(UnzipExec, TraceAloneAlsoGivesVerboseMessages) {
  ZipWriter w;
  w.add("a.txt", text(100), true);
  UnzipRun run = runOn(w.build());
  run.trace = true;
  EXPECT_EQ(unzip.run(run), 1);
  bool traced = false, verbose = false;
  for (const UnzipEvent &e : run.messages()) {
    traced |= e.text.rfind("Archive: ", 0) == 0;
    verbose |= e.text.find("inflating: a.txt") != std::string::npos;
    EXPECT_EQ(e.errorCode, UNZIP_OK);
  }
  EXPECT_TRUE(traced);
  EXPECT_TRUE(verbose);
}

TEST_F(UnzipExec, NotAnArchive) {
  UnzipRun run = runOn(noise(5000, 9));
  EXPECT_EQ(unzip.run(run), 0);
  EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_ARCHIVE));
  EXPECT_EQ(run.events.back().action, UNZIP_ACTION_BATCH_END);
}

} // namespace

namespace {

// The folder UnzipExecInFolder is given; the test's current folder is `out`,
// so anything written "here" instead would land there.
struct FolderCase {
  const char *label;
  enum Kind { Given, None, Relative, Missing, Link, File } kind;
  int expectedFiles;
};

class TargetFolders : public UnzipExec, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(TargetFolders, WriteOnlyBelowTheGivenFolderOrNothingAtAll) {
  const FolderCase &c = GetParam();
  const QString target = dir.mkdir("target");
  const QString elsewhere = dir.mkdir("elsewhere");
  ZipWriter w;
  w.add("game.rom", "rom");
  w.add("other.zip", "would overwrite another game");
  UnzipRun run = runOn(w.build());
  std::string folder;
  switch (c.kind) {
  case FolderCase::Given:
    folder = QFile::encodeName(target).toStdString();
    break;
  case FolderCase::None:
    break;
  case FolderCase::Relative:
    folder = "target";
    break;
  case FolderCase::Missing:
    folder = QFile::encodeName(dir.file("missing")).toStdString();
    break;
  case FolderCase::Link:
    ASSERT_TRUE(QFile::link(elsewhere, dir.file("link")));
    folder = QFile::encodeName(dir.file("link") + "/").toStdString();
    break;
  case FolderCase::File:
    folder = QFile::encodeName(dir.write("plain", "x")).toStdString();
    break;
  }
  unzip.runInFolder(run, c.kind == FolderCase::None ? nullptr : folder.c_str());
  EXPECT_EQ(run.result, c.expectedFiles);
  EXPECT_TRUE(tree(out).isEmpty()) << "written into the current folder";
  EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "written through a link";
  if (c.expectedFiles > 0) {
    EXPECT_TRUE(run.messages().empty());
    EXPECT_EQ(tree(target).size(), 2);
  } else {
    EXPECT_TRUE(run.hasMessageWithCode(UNZIP_ERR_WRITE));
    EXPECT_TRUE(QDir(target).isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, TargetFolders,
                         ::testing::Values(FolderCase{"given", FolderCase::Given, 2},
                                           FolderCase{"none", FolderCase::None, 0},
                                           FolderCase{"relative", FolderCase::Relative, 0},
                                           FolderCase{"missing", FolderCase::Missing, 0},
                                           FolderCase{"link", FolderCase::Link, 0},
                                           FolderCase{"file", FolderCase::File, 0}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(UnzipExec, TestingNeedsNoFolder) {
  ZipWriter w;
  w.add("game.rom", "rom");
  UnzipRun run = runOn(w.build());
  run.test = true;
  unzip.runInFolder(run, nullptr);
  EXPECT_EQ(run.result, 1);
  EXPECT_TRUE(run.messages().empty());
}

// The current folder is taken once, when the call starts: a caller that
// changes it meanwhile does not scatter the files.
TEST_F(UnzipExec, KeepsToTheFolderThatWasCurrentAtTheStart) {
  const QString elsewhere = dir.mkdir("elsewhere");
  ZipWriter w;
  for (int i = 0; i < 12; ++i)
    w.add("f" + QByteArray::number(i) + ".bin", text(3000 + i), i % 2 == 0);
  UnzipRun run = runOn(w.build());
  run.onEvent = [&](const UnzipEvent &event) {
    if (event.action == UNZIP_ACTION_FILE_BEGINS)
      QDir::setCurrent(elsewhere);
    return 0;
  };
  EXPECT_EQ(unzip.run(run), 12);
  EXPECT_EQ(tree(out).size(), 12);
  EXPECT_TRUE(QDir(elsewhere).isEmpty());
}

} // namespace
