// A launch run without windows: a stand-in unpacker and process runner
// record what they are asked to do.
#include "launcher/catalogue.h"
#include "launcher/filelistbox.h"
#include "launcher/launch.h"
#include "launcher/unpackprogress.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/usermessage.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

using namespace vantor;
using vantor::test::TempDir;

namespace {

bool exists(const QString &path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QStringList entriesOf(const QString &folder) {
  return QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class FakeUnpacker final : public ArchiveUnpacker {
public:
  int open(const QByteArray &nativePath) override {
    opened << nativePath;
    return entries;
  }
  Outcome unpack(const QString &folder, const Progress &progress) override {
    unpackedInto << folder;
    foundInFolder = entriesOf(folder);
    for (const QString &name : files) {
      QFile file(folder + "/" + name);
      if (file.open(QIODevice::WriteOnly))
        file.write("data");
    }
    Outcome result = outcome;
    for (const Step &step : steps) {
      now = step.tick;
      if (!progress(step.done, step.total)) {
        result.cancelled = true;
        result.errors << "Extraction cancelled";
        break;
      }
    }
    return result;
  }

  // A progress report at a tick of the test's clock.
  struct Step {
    std::uint32_t tick;
    qint64 done, total;
  };
  std::vector<Step> steps;
  std::uint32_t now = 0;
  int entries = 1;
  QStringList files{"game.rom"};
  Outcome outcome{1, {}};
  QList<QByteArray> opened;
  QStringList unpackedInto, foundInFolder;
};

class LaunchUnit : public ::testing::Test {
protected:
  void SetUp() override {
    neo = dir.mkdir("neo") + "/";
    emulator = dir.write("neo/neorage", "#!/bin/sh\n");
    dir.mkdir("neo/shots");
    roms = dir.mkdir("roms");
    cd = dir.mkdir("cd");
    shots.setMask("shot*.bmp");
    shots.applyPath(neo + "shots");
    platform::setTickSource([this] { return unpacker.now; });
  }
  void TearDown() override { platform::setTickSource({}); }

  void addArchive(const QString &folder, const QByteArray &nativeName) {
    const QByteArray path = QFile::encodeName(folder) + "/" + nativeName;
    const platform::UniqueFd fd(::open(path.constData(), O_WRONLY | O_CREAT, 0644));
    ASSERT_TRUE(fd.valid());
  }

  Catalogue catalogue(const QList<QByteArray> &romNames, const QList<QByteArray> &cdNames = {}) {
    Catalogue c;
    c.rebuild({roms, roms, romNames}, {cd, cd, cdNames});
    c.select(0);
    return c;
  }

  LaunchSetup setup() const { return {emulator, neo, {}}; }

  bool run(const LaunchPlan &plan) {
    ScopedMessagePresenter presenter([this](const UserMessage &m) { shown << m.text; });
    Launch launch({unpacker,
                   [this](const QStringList &args, const QString &folder) {
                     runs << args;
                     workingFolders << folder;
                     scratchAtStart = entriesOf(args.value(1));
                     if (leaveScreenshot)
                       QFile(neo + "shots/shot0001.bmp").open(QIODevice::WriteOnly);
                     return result;
                   },
                   shots, [this](const QString &text) { statuses << text; },
                   [this](int newest) { newScreenshots << newest; },
                   [this] { return ++polls == cancelAtPoll; }});
    return launch.run(plan);
  }

  QString scratch() const { return neo + "~del~~"; }

  TempDir dir;
  QString neo, emulator, roms, cd;
  TFileListBox shots;
  FakeUnpacker unpacker;
  platform::RunResult result{true, 0, 0, {}};
  bool leaveScreenshot = false;
  int polls = 0, cancelAtPoll = 0;
  QList<QStringList> runs;
  QStringList workingFolders, statuses, shown, scratchAtStart;
  QList<int> newScreenshots;
};

TEST_F(LaunchUnit, PlansTheArchiveTheScratchFolderAndTheArguments) {
  addArchive(roms, "pacman.zip");
  const auto plan = planLaunch(catalogue({"pacman.zip"}), setup());
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->archive, QFile::encodeName(roms + "/pacman.zip"));
  EXPECT_EQ(plan->scratch, scratch());
  EXPECT_EQ(plan->workingFolder, neo);
  EXPECT_EQ(plan->arguments, (QStringList{emulator, scratch()}));
}

struct ProbeCase {
  const char *name;
  bool inRoms, inCd;
  const char *expectedFolder; // "roms", "cd" or "" for neither
};

void PrintTo(const ProbeCase &c, std::ostream *os) {
  *os << c.name;
}

class Probe : public LaunchUnit, public ::testing::WithParamInterface<ProbeCase> {};

// The CD-ROM half's entry is still looked for in the ROM folder first.
TEST_P(Probe, LooksInTheRomFolderFirst) {
  const ProbeCase &c = GetParam();
  if (c.inRoms)
    addArchive(roms, "kof.zip");
  if (c.inCd)
    addArchive(cd, "kof.zip");
  Catalogue both = catalogue({}, {"kof.zip"});
  const auto plan = planLaunch(both, setup());
  ASSERT_TRUE(plan);
  const QString folder = *c.expectedFolder ? dir.file(c.expectedFolder) : QString();
  EXPECT_EQ(plan->archive,
            folder.isEmpty() ? QByteArray() : QFile::encodeName(folder + "/kof.zip"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Probe,
                         ::testing::Values(ProbeCase{"both", true, true, "roms"},
                                           ProbeCase{"romsOnly", true, false, "roms"},
                                           ProbeCase{"cdOnly", false, true, "cd"},
                                           ProbeCase{"neither", false, false, ""}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LaunchUnit, NothingToPlanWithoutAnEmulatorOrASelection) {
  addArchive(roms, "pacman.zip");
  EXPECT_FALSE(planLaunch(Catalogue(), setup()));
  LaunchSetup missing = setup();
  missing.emulator = neo + "missing";
  EXPECT_FALSE(planLaunch(catalogue({"pacman.zip"}), missing));
  LaunchSetup noFolder = setup();
  noFolder.emulatorDir.clear();
  EXPECT_FALSE(planLaunch(catalogue({"pacman.zip"}), noFolder));
}

struct OutcomeCase {
  const char *name;
  bool archiveThere;
  int entries;
  ArchiveUnpacker::Outcome outcome;
  bool starts;
  const char *expectedMessage; // the start of the one message shown; "" for none
};

void PrintTo(const OutcomeCase &c, std::ostream *os) {
  *os << c.name;
}

class Outcomes : public LaunchUnit, public ::testing::WithParamInterface<OutcomeCase> {};

// Whatever the extraction's outcome, the scratch folder goes; the emulator
// starts only on a complete one, and what failed is shown in one box.
TEST_P(Outcomes, StartOnlyOnACompleteExtraction) {
  const OutcomeCase &c = GetParam();
  if (c.archiveThere)
    addArchive(roms, "pacman.zip");
  unpacker.entries = c.entries;
  unpacker.outcome = c.outcome;
  const auto plan = planLaunch(catalogue({"pacman.zip"}), setup());
  ASSERT_TRUE(plan);

  EXPECT_EQ(run(*plan), c.starts);

  EXPECT_EQ(runs.size(), c.starts ? 1 : 0);
  if (*c.expectedMessage) {
    ASSERT_EQ(shown.size(), 1) << shown.join('|').toStdString();
    EXPECT_TRUE(shown[0].startsWith(c.expectedMessage)) << shown[0].toStdString();
  } else {
    EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
  }
  EXPECT_FALSE(exists(scratch()));
  const QStringList expectedStatuses =
      c.starts ? QStringList{"Please Wait..Unzipping ROM..", "Running NEORAGE..", "pacman"}
               : QStringList{"Please Wait..Unzipping ROM..", "pacman"};
  EXPECT_EQ(statuses, expectedStatuses);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Outcomes,
    ::testing::Values(
        OutcomeCase{"complete", true, 2, {2, {}}, true, ""},
        OutcomeCase{"crcError",
                    true,
                    2,
                    {1, {"error extracting b.rom: CRC error"}},
                    false,
                    "Unpacking pacman.zip failed:\nerror extracting b.rom: CRC error"},
        OutcomeCase{"noLibrary",
                    true,
                    2,
                    {0, {"libunziplib.so not found"}},
                    false,
                    "Unpacking pacman.zip failed:\nlibunziplib.so not found"},
        OutcomeCase{"wroteNothing", true, 2, {0, {}}, false, "Error - no files in the Zip file"},
        OutcomeCase{"noEntries", true, 0, {2, {}}, false, "Error - no files in the Zip file"},
        OutcomeCase{"archiveGone",
                    false,
                    2,
                    {2, {}},
                    false,
                    "pacman.zip is in neither the ROM folder nor the CD-ROM folder"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LaunchUnit, ALongListOfFailuresIsCutShort) {
  addArchive(roms, "pacman.zip");
  for (int i = 0; i < 30; ++i)
    unpacker.outcome.errors << QString("error %1").arg(i);
  run(*planLaunch(catalogue({"pacman.zip"}), setup()));
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown[0].count('\n'), 21);
  EXPECT_TRUE(shown[0].endsWith("error 19\n... and 10 more"));
}

// A crash mid-extraction leaves the library's partial files; they, and
// anything else left over, are gone before the next game is unpacked.
TEST_F(LaunchUnit, TheScratchFolderIsEmptiedBeforeUnpackingAndRemovedAfter) {
  addArchive(roms, "pacman.zip");
  dir.write("neo/~del~~/.vtmp-1f2e-0", "partial");
  dir.write("neo/~del~~/other.rom", "another game's");
  dir.write("neo/~del~~/sub/.hidden", "x");
  const QString outside = dir.write("outside/precious", "keep");
  ASSERT_TRUE(QFile::link(dir.file("outside"), scratch() + "/link"));

  EXPECT_TRUE(run(*planLaunch(catalogue({"pacman.zip"}), setup())));

  EXPECT_EQ(unpacker.unpackedInto, QStringList{scratch()});
  EXPECT_TRUE(unpacker.foundInFolder.isEmpty()) << unpacker.foundInFolder.join(',').toStdString();
  EXPECT_EQ(scratchAtStart, QStringList{"game.rom"});
  EXPECT_FALSE(exists(scratch()));
  EXPECT_TRUE(QFile::exists(outside));
}

TEST_F(LaunchUnit, RunsInTheEmulatorsFolderAndOffersItsNewScreenshot) {
  addArchive(roms, "pacman.zip");
  leaveScreenshot = true;
  const QString before = QDir::currentPath();
  EXPECT_TRUE(run(*planLaunch(catalogue({"pacman.zip"}), setup())));
  EXPECT_EQ(workingFolders, QStringList{neo});
  EXPECT_EQ(newScreenshots, QList<int>{0});
  EXPECT_EQ(QDir::currentPath(), before);
  // No new screenshot the second time.
  leaveScreenshot = false;
  run(*planLaunch(catalogue({"pacman.zip"}), setup()));
  EXPECT_EQ(newScreenshots, QList<int>{0});
}

struct ProgressCase {
  const char *name;
  std::vector<FakeUnpacker::Step> steps;
  int cancelAtPoll; // 0: never
  QStringList percents;
  int polls;
};

void PrintTo(const ProgressCase &c, std::ostream *os) {
  *os << c.name;
}

class Progress : public LaunchUnit, public ::testing::WithParamInterface<ProgressCase> {};

// Percentages only once unpacking has taken half a second, each shown once;
// the window is polled at most every 40 ms. A cancel starts nothing, shows
// nothing and still removes what was unpacked.
TEST_P(Progress, ShowsPercentagesAndStopsWhenCancelled) {
  const ProgressCase &c = GetParam();
  addArchive(roms, "pacman.zip");
  unpacker.steps = c.steps;
  cancelAtPoll = c.cancelAtPoll;
  const bool cancelled = c.cancelAtPoll > 0;

  EXPECT_EQ(run(*planLaunch(catalogue({"pacman.zip"}), setup())), !cancelled);

  QStringList expected{"Please Wait..Unzipping ROM.."};
  for (const QString &percent : c.percents)
    expected << "Please Wait..Unzipping ROM.. " + percent;
  if (!cancelled)
    expected << "Running NEORAGE..";
  expected << "pacman";
  EXPECT_EQ(statuses, expected);
  EXPECT_EQ(polls, c.polls);
  EXPECT_EQ(runs.size(), cancelled ? 0 : 1);
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
  EXPECT_FALSE(exists(scratch()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Progress,
    ::testing::Values(
        ProgressCase{"quick", {{100, 50, 100}, {400, 100, 100}}, 0, {}, 2},
        ProgressCase{
            "slow",
            {{200, 10, 100}, {600, 40, 100}, {700, 40, 100}, {900, 99, 100}, {1000, 100, 100}},
            0,
            {"40%", "99%", "100%"},
            5},
        ProgressCase{"fromHalfASecond", {{499, 50, 100}, {500, 60, 100}}, 0, {"60%"}, 1},
        ProgressCase{"sizesFallShort", {{600, 150, 100}}, 0, {"100%"}, 1},
        ProgressCase{"noTotal", {{600, 3, 0}}, 0, {}, 1},
        ProgressCase{"pollsAreSpaced",
                     {{10, 1, 10}, {20, 2, 10}, {45, 3, 10}, {60, 4, 10}, {90, 5, 10}},
                     0,
                     {},
                     2},
        ProgressCase{"cancelled",
                     {{100, 10, 100}, {600, 50, 100}, {700, 60, 100}, {800, 70, 100}},
                     2,
                     {"50%"},
                     2},
        ProgressCase{"cancelledAtOnce", {{40, 10, 100}, {100, 20, 100}}, 1, {}, 1}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
