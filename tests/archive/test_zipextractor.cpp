#include "archive/unziplibrary.h"
#include "archive/zipextractor.h"
#include "platform/files.h"
#include "platform/usermessage.h"
#include "support/tempdir.h"
#include "zipwriter.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace vantor;
using namespace vantor::archive;
using vantor::test::ZipWriter;
using Opt = TZipExtractor::TExtrOption;

namespace {

QString fakeDir(const char *variant) {
  return QStringLiteral(VANTOR_FAKE_UNZIP_DIR "/") + QLatin1String(variant);
}

class Extractor : public ::testing::Test {
protected:
  QWidget owner;
  TZipExtractor zip{&owner};
  QStringList shown;
  ScopedMessagePresenter presenter{[this](const UserMessage &message) { shown << message.text; }};
  test::TempDir dir;
  QString log;

  void SetUp() override {
    log = dir.file("fake.log");
    qputenv("VANTOR_FAKE_UNZIP_LOG", log.toLocal8Bit());
    ZipWriter w;
    w.add("game.rom", "data");
    zip.setZipFilename(dir.write("game.zip", w.build()));
  }
  void TearDown() override { qunsetenv("VANTOR_FAKE_UNZIP_LOG"); }

  QMap<QString, QString> record() const {
    QMap<QString, QString> fields;
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
      return fields;
    for (const QByteArray &line : f.readAll().split('\n')) {
      const int eq = line.indexOf('=');
      if (eq > 0)
        fields.insert(QString::fromLocal8Bit(line.left(eq)),
                      QString::fromLocal8Bit(line.mid(eq + 1)));
    }
    return fields;
  }
};

struct RecordCase {
  const char *label;
  TZipExtractor::TExtrOptions options;
  bool verbose, trace;
  QMap<QString, QString> expected;
};

class CommandRecord : public Extractor, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(CommandRecord, CarriesTheSwitches) {
  const RecordCase &c = GetParam();
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.setExtrOptions(c.options);
  zip.setVerbose(c.verbose);
  zip.setTrace(c.trace);
  zip.Extract();
  const auto fields = record();
  ASSERT_EQ(fields.value("called"), "1");
  EXPECT_EQ(fields.value("version"), "140");
  EXPECT_EQ(fields.value("check"), "7");
  EXPECT_EQ(fields.value("reserved20"), "0");
  EXPECT_EQ(fields.value("reserved32"), "0");
  EXPECT_EQ(fields.value("reserved36"), "0");
  EXPECT_EQ(fields.value("reserved40"), "1");
  EXPECT_EQ(fields.value("zip"), zip.zipFilename());
  for (auto it = c.expected.begin(); it != c.expected.end(); ++it)
    EXPECT_EQ(fields.value(it.key()), it.value()) << it.key().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandRecord,
    ::testing::Values(
        RecordCase{"none",
                   {},
                   false,
                   false,
                   {{"update", "0"},
                    {"freshen", "0"},
                    {"dirnames", "0"},
                    {"overwrite", "0"},
                    {"test", "0"},
                    {"trace", "0"},
                    {"verbose", "0"}}},
        RecordCase{"update_and_freshen",
                   Opt::ExtrUpdate | Opt::ExtrFreshen,
                   false,
                   false,
                   {{"update", "1"}, {"freshen", "0"}}},
        RecordCase{
            "freshen_alone", Opt::ExtrFreshen, false, false, {{"update", "0"}, {"freshen", "1"}}},
        RecordCase{"dirs_overwrite_test",
                   Opt::ExtrDirNames | Opt::ExtrOverWrite | Opt::ExtrTest,
                   false,
                   false,
                   {{"dirnames", "1"}, {"overwrite", "1"}, {"test", "1"}}},
        RecordCase{"trace_without_verbose", {}, false, true, {{"trace", "1"}, {"verbose", "1"}}},
        RecordCase{"verbose_without_trace", {}, true, false, {{"trace", "0"}, {"verbose", "1"}}}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(Extractor, RelaysCallbacksAndKeepsTheResult) {
  zip.setDLLDirectory(fakeDir("recorder") + "/");
  EXPECT_EQ(zip.dllDirectory(), fakeDir("recorder"));
  QStringList events;
  zip.OnProgress = [&](QObject *sender, int kind, const QString &name, qint32 size) {
    EXPECT_EQ(sender, &zip);
    EXPECT_TRUE(zip.busy());
    events << QStringLiteral("progress %1 [%2] %3").arg(kind).arg(name).arg(size);
  };
  zip.OnMessage = [&](QObject *, qint32 code, const QString &text) {
    events << QStringLiteral("message %1 [%2]").arg(code).arg(text);
  };
  zip.setPassword("secret");
  zip.setFSpecArgs({"*.rom", "x?.bin"});
  zip.Extract();
  EXPECT_EQ(events,
            (QStringList{"progress 0 [game.rom] 1234", "progress 1 [ ] 0",
                         "message 5 [message text]", "message 6 [other]", "progress 2 [ ] 0"}));
  EXPECT_EQ(zip.extractedCount(), 42);
  const auto fields = record();
  EXPECT_EQ(fields.value("password"), "secret");
  EXPECT_EQ(fields.value("patterns"), "2");
  EXPECT_EQ(fields.value("pattern0"), "*.rom");
  EXPECT_EQ(fields.value("pattern1"), "x?.bin");
  EXPECT_EQ(fields.value("caller"), QString::asprintf("%p", static_cast<void *>(&zip)));
  EXPECT_TRUE(zip.fSpecArgs().isEmpty());
  EXPECT_FALSE(zip.busy());
  EXPECT_FALSE(UnzipLibrary::isLoaded());
  EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Extractor, CancelRequestIsReturnedFromEveryCallback) {
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.OnProgress = [&](QObject *, int kind, const QString &, qint32) {
    if (kind == 0)
      zip.setCancelRequested(true);
  };
  zip.Extract();
  const auto fields = record();
  EXPECT_EQ(fields.value("return1"), "1");
  EXPECT_EQ(fields.value("return3"), "1");
  EXPECT_FALSE(zip.cancelRequested());
}

TEST_F(Extractor, SecondExtractFromAHandlerDoesNothing) {
  zip.setDLLDirectory(fakeDir("recorder"));
  int nested = 0;
  zip.OnProgress = [&](QObject *, int kind, const QString &, qint32) {
    if (kind == 0) {
      ++nested;
      zip.Extract();
    }
  };
  zip.Extract();
  EXPECT_EQ(nested, 1);
  QFile f(log);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().count("called=1"), 1);
}

TEST_F(Extractor, HandlerErrorStopsTheLibraryAndReachesTheCaller) {
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.OnProgress = [&](QObject *, int kind, const QString &, qint32) {
    if (kind == 0)
      throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(zip.Extract(), std::runtime_error);
  EXPECT_EQ(record().value("return1"), "1");
  EXPECT_FALSE(zip.busy());
  EXPECT_FALSE(UnzipLibrary::isLoaded());
}

struct FailureCase {
  const char *label;
  const char *variant; // fake library folder, or nullptr for an empty folder
  QStringList shown;
  bool libraryCalled;
};

class LibraryFailures : public Extractor, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LibraryFailures, AreShown) {
  const FailureCase &c = GetParam();
  zip.setDLLDirectory(c.variant ? fakeDir(c.variant) : dir.mkdir("empty"));
  zip.Extract();
  EXPECT_EQ(shown, c.shown);
  EXPECT_EQ(record().value("called") == "1", c.libraryCalled);
  EXPECT_EQ(zip.extractedCount(), c.libraryCalled ? 7 : 0);
  EXPECT_FALSE(zip.busy());
  EXPECT_FALSE(UnzipLibrary::isLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibraryFailures,
    ::testing::Values(FailureCase{"missing", nullptr, {"libunziplib.so not found"}, false},
                      FailureCase{"without_UnzipExec",
                                  "noexec",
                                  {"UnzipExec function not found in libunziplib.so"},
                                  false},
                      FailureCase{"without_UnzipExecInFolder",
                                  "noinfolder",
                                  {"UnzipExecInFolder function not found in libunziplib.so"},
                                  false},
                      FailureCase{"without_GetUnzipVersion",
                                  "noversion",
                                  {"GetUnzipVersion function not found in libunziplib.so"},
                                  true}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(Extractor, TraceAnnouncesTheLoadedLibrary) {
  zip.setDLLDirectory(fakeDir("noversion"));
  zip.setTrace(true);
  zip.Extract();
  EXPECT_EQ(shown, (QStringList{"UNZIP LIB Loaded",
                                "GetUnzipVersion function not found in libunziplib.so"}));
}

TEST_F(Extractor, MissingArchiveIsShown) {
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.setZipFilename(dir.file("gone.zip"));
  zip.Extract();
  EXPECT_EQ(shown, QStringList{"Error - no zip file specified"});
  EXPECT_FALSE(record().contains("called"));
}

struct OverlongCase {
  const char *label;
  std::function<void(TZipExtractor &)> set;
  QString shownPrefix;
};

class OverlongValues : public Extractor, public ::testing::WithParamInterface<OverlongCase> {};

TEST_P(OverlongValues, AreRefusedBeforeTheLibrary) {
  zip.setDLLDirectory(fakeDir("recorder"));
  GetParam().set(zip);
  zip.Extract();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(GetParam().shownPrefix)) << shown[0].toStdString();
  EXPECT_FALSE(record().contains("called"));
}

INSTANTIATE_TEST_SUITE_P(Cases, OverlongValues,
                         ::testing::Values(OverlongCase{"password",
                                                        [](TZipExtractor &z) {
                                                          z.setPassword(QString(81, 'p'));
                                                        },
                                                        "Password too long"},
                                           OverlongCase{"pattern",
                                                        [](TZipExtractor &z) {
                                                          z.setFSpecArgs({"ok", QString(256, 's')});
                                                        },
                                                        "File specification too long"},
                                           OverlongCase{"spec_count",
                                                        [](TZipExtractor &z) {
                                                          QStringList patterns;
                                                          for (int i = 0; i < 4001; ++i)
                                                            patterns << QString::number(i);
                                                          z.setFSpecArgs(patterns);
                                                        },
                                                        "Too many file specifications"}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(Extractor, LongestValuesStillPass) {
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.setPassword(QString(80, 'p'));
  zip.setFSpecArgs({QString(255, 's')});
  zip.Extract();
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_EQ(record().value("password"), QString(80, 'p'));
  EXPECT_EQ(record().value("pattern0"), QString(255, 's'));
}

// The real library, found in the build's bin folder.
TEST_F(Extractor, ExtractsIntoTheBaseFolderWithTheRealLibrary) {
  const QByteArray bin = qgetenv("VANTOR_BIN_DIR");
  ASSERT_FALSE(bin.isEmpty());
  ZipWriter w;
  w.add("roms/a.bin", QByteArray(5000, 'a'), true);
  w.add("roms/b.bin", "bbbb");
  zip.setZipFilename(dir.write("set.zip", w.build()));
  EXPECT_EQ(zip.entryCount(), 2);
  const QString out = dir.mkdir("out");
  zip.setDLLDirectory(QString::fromLocal8Bit(bin));
  zip.setExtrBaseDir(out);
  int files = 0;
  zip.OnProgress = [&](QObject *, int kind, const QString &, qint32) { files += kind == 0; };
  zip.Extract();
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
  EXPECT_EQ(zip.extractedCount(), 2);
  EXPECT_EQ(files, 2);
  QFile a(out + "/a.bin");
  ASSERT_TRUE(a.open(QIODevice::ReadOnly));
  EXPECT_EQ(a.readAll(), QByteArray(5000, 'a'));
  EXPECT_TRUE(QFile::exists(out + "/b.bin"));

  zip.setExtrOptions(Opt::ExtrDirNames | Opt::ExtrOverWrite);
  zip.Extract();
  EXPECT_EQ(zip.extractedCount(), 2);
  EXPECT_TRUE(QFile::exists(out + "/roms/a.bin"));

  // A relative name means the folder the program was started in.
  zip.setZipFilename(QDir(platform::startFolder()).relativeFilePath(dir.file("set.zip")));
  const QString other = dir.mkdir("other");
  zip.setExtrBaseDir(other);
  zip.Extract();
  EXPECT_EQ(zip.extractedCount(), 2);
  EXPECT_TRUE(QFile::exists(other + "/roms/b.bin"));
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
}

TEST_F(Extractor, OverlongArchivePathIsRefused) {
  const QString deep = dir.mkdir(QString(120, 'd') + "/" + QString(120, 'e'));
  ZipWriter w;
  w.add("a", "a");
  zip.setZipFilename(
      dir.write(QString(120, 'd') + "/" + QString(120, 'e') + "/archive.zip", w.build()));
  ASSERT_TRUE(QFile::exists(zip.zipFilename()));
  zip.setDLLDirectory(fakeDir("recorder"));
  zip.Extract();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith("Zip file name too long"));
  EXPECT_FALSE(record().contains("called"));
  EXPECT_FALSE(deep.isEmpty());
}

// The library is told the folder by its absolute path; a relative one means
// the folder the program was started in.
TEST_F(Extractor, TellsTheLibraryTheAbsoluteFolder) {
  zip.setDLLDirectory(fakeDir("recorder"));
  const std::pair<QString, QString> rows[] = {
      {dir.path(), dir.path()},
      {"games/x", platform::startFolder() + "/games/x"},
      {"", ""},
  };
  for (const auto &[base, expected] : rows) {
    QFile::remove(log);
    zip.setExtrBaseDir(base);
    zip.Extract();
    EXPECT_EQ(record().value("folder"), expected) << base.toStdString();
  }
}

struct BaseDirCase {
  const char *name;
  enum Kind { Missing, File, Link, Empty } kind;
};

class UnopenableBaseDir : public Extractor, public ::testing::WithParamInterface<BaseDirCase> {};

// Nothing is written anywhere, least of all into the current folder, and
// the library says why.
TEST_P(UnopenableBaseDir, GetsNothingAndNeitherDoesTheCurrentFolder) {
  const QString inCurrent = QDir::current().filePath("game.rom");
  ASSERT_FALSE(QFile::exists(inCurrent));
  const QString elsewhere = dir.mkdir("elsewhere");
  QString base;
  switch (GetParam().kind) {
  case BaseDirCase::Missing:
    base = dir.file("missing");
    break;
  case BaseDirCase::File:
    base = dir.write("plain", "x");
    break;
  case BaseDirCase::Link:
    base = dir.file("link");
    ASSERT_TRUE(QFile::link(elsewhere, base));
    break;
  case BaseDirCase::Empty:
    break;
  }
  zip.setDLLDirectory(QString::fromLocal8Bit(qgetenv("VANTOR_BIN_DIR")));
  zip.setExtrBaseDir(base);
  QList<qint32> codes;
  zip.OnMessage = [&](QObject *, qint32 code, const QString &) { codes << code; };
  const QString before = QDir::currentPath();
  zip.Extract();
  const bool leaked = QFile::remove(inCurrent);
  EXPECT_FALSE(leaked);
  EXPECT_EQ(zip.extractedCount(), 0);
  EXPECT_EQ(codes, QList<qint32>{UNZIP_ERR_WRITE});
  EXPECT_TRUE(QDir(elsewhere).isEmpty());
  EXPECT_EQ(QDir::currentPath(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnopenableBaseDir,
                         ::testing::Values(BaseDirCase{"missing", BaseDirCase::Missing},
                                           BaseDirCase{"file", BaseDirCase::File},
                                           BaseDirCase{"link", BaseDirCase::Link},
                                           BaseDirCase{"empty", BaseDirCase::Empty}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
