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
#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

using namespace vantor;
using vantor::test::entriesOf;
using vantor::test::TempDir;

namespace {

bool exists(const QString &path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

class FakeUnpacker final : public ArchiveUnpacker {
public:
  Listing open(const QByteArray &nativePath) override {
    opened << nativePath;
    return {entries, reported};
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
      if (step.cancel)
        cancel();
      if (throwAtStep)
        throw StreamError("Error 3 reading Zip file");
      if (!progress(step.done, step.total)) {
        result.cancelled = true;
        result.errors << "Extraction cancelled";
        break;
      }
    }
    return result;
  }
  Outcome unpackFrom(const QByteArray &nativePath, const QStringList &wanted, const QString &folder,
                     const Progress &) override {
    borrowedFrom << nativePath;
    for (const QString &name : wanted) {
      QFile file(folder + "/" + name);
      if (file.open(QIODevice::WriteOnly))
        file.write(nativePath);
    }
    return {int(wanted.size()), {}};
  }

  // A progress report at a tick of the test's clock.
  struct Step {
    std::uint32_t tick;
    qint64 done, total;
    bool cancel = false; // Escape is pressed just before this report
  };
  std::vector<Step> steps;
  std::function<void()> cancel;
  std::atomic<std::uint32_t> now = 0;
  int entries = 1;
  bool reported = false;
  bool throwAtStep = false;
  QStringList files{"game.rom"};
  QList<QByteArray> borrowedFrom;
  Outcome outcome{1, {}};
  QList<QByteArray> opened;
  QStringList unpackedInto, foundInFolder;
};

class LaunchUnit : public ::testing::Test {
public:
  void SetUp() override {
    neo = dir.mkdir("neo") + "/";
    emulator = dir.write("neo/neorage", "#!/bin/sh\n");
    dir.mkdir("neo/shots");
    roms = dir.mkdir("roms");
    cd = dir.mkdir("cd");
    shots.setMask("shot*.bmp");
    shots.applyPath(neo + "shots");
    platform::setTickSource([this] { return unpacker.now.load(); });
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

  // Starts the emulator at once and says it ended on the next turn of the
  // event loop, unless the test holds it.
  QString startEmulator(const QStringList &args, const QString &folder,
                        std::function<void(const platform::RunResult &)> finished) {
    runs << args;
    workingFolders << folder;
    scratchAtStart = entriesOf(args.value(1));
    if (!startError.isNull())
      return startError;
    if (leaveScreenshot)
      QFile(args.value(1) + "/../shots/shot0001.bmp").open(QIODevice::WriteOnly);
    emulatorEnds = [finished] { finished({true, 0, 0, {}}); };
    if (!holdEmulator)
      QTimer::singleShot(0, [this] { emulatorEnds(); });
    return {};
  }

  std::unique_ptr<Launch> makeLaunch() {
    return std::make_unique<Launch>(
        Launch::Parts{unpacker,
                      [this](const QStringList &args, const QString &folder, auto finished) {
                        return startEmulator(args, folder, std::move(finished));
                      },
                      shots,
                      [this](const QString &text) { statuses << text; },
                      [this](int newest) { newScreenshots << newest; },
                      {},
                      [this] { ++ended; }});
  }

  // Plays the plan to its end; what the launch raised is in `raised`.
  bool run(const LaunchPlan &plan) {
    ScopedMessagePresenter presenter([this](const UserMessage &m) { shown << m.text; });
    const std::unique_ptr<Launch> launch = makeLaunch();
    unpacker.cancel = [&launch] { launch->cancel(); };
    const int runsBefore = int(runs.size());
    try {
      launch->start(plan);
    } catch (const Error &error) {
      raised << error.message();
    }
    EXPECT_TRUE(test::turnEventLoopUntil([&] { return !launch->busy(); }))
        << "the launch did not end";
    return runs.size() > runsBefore && startError.isNull();
  }

  QString scratch() const { return neo + "~del~~"; }

  TempDir dir;
  QString neo, emulator, roms, cd;
  TFileListBox shots;
  FakeUnpacker unpacker;
  QString startError; // null: the emulator starts
  bool leaveScreenshot = false;
  bool holdEmulator = false;
  std::function<void()> emulatorEnds;
  int ended = 0;
  QList<QStringList> runs;
  QStringList workingFolders, statuses, shown, raised, scratchAtStart;
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
  QStringList percents;
};

void PrintTo(const ProgressCase &c, std::ostream *os) {
  *os << c.name;
}

class Progress : public LaunchUnit, public ::testing::WithParamInterface<ProgressCase> {};

// Percentages only once unpacking has taken half a second, each shown once.
// Escape starts nothing, shows nothing and still removes what was unpacked.
TEST_P(Progress, ShowsPercentagesAndStopsWhenCancelled) {
  const ProgressCase &c = GetParam();
  addArchive(roms, "pacman.zip");
  unpacker.steps = c.steps;
  const bool cancelled =
      std::any_of(c.steps.begin(), c.steps.end(), [](const auto &step) { return step.cancel; });

  EXPECT_EQ(run(*planLaunch(catalogue({"pacman.zip"}), setup())), !cancelled);

  QStringList expected{"Please Wait..Unzipping ROM.."};
  for (const QString &percent : c.percents)
    expected << "Please Wait..Unzipping ROM.. " + percent;
  if (!cancelled)
    expected << "Running NEORAGE..";
  expected << "pacman";
  EXPECT_EQ(statuses, expected);
  EXPECT_EQ(runs.size(), cancelled ? 0 : 1);
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
  EXPECT_FALSE(exists(scratch()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Progress,
    ::testing::Values(
        ProgressCase{"quick", {{100, 50, 100}, {400, 100, 100}}, {}},
        ProgressCase{
            "slow",
            {{200, 10, 100}, {600, 40, 100}, {700, 40, 100}, {900, 99, 100}, {1000, 100, 100}},
            {"40%", "99%", "100%"}},
        ProgressCase{"fromHalfASecond", {{499, 50, 100}, {500, 60, 100}}, {"60%"}},
        ProgressCase{"sizesFallShort", {{600, 150, 100}}, {"100%"}},
        ProgressCase{"noTotal", {{600, 3, 0}}, {}},
        ProgressCase{"cancelled",
                     {{100, 10, 100}, {600, 50, 100}, {700, 60, 100, true}, {800, 70, 100}},
                     {"50%", "60%"}},
        ProgressCase{"cancelledAtOnce", {{40, 10, 100, true}, {100, 20, 100}}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

// One game per emulator folder: a second launch (another copy of the
// program, as far as the lock goes) is refused while the first one's game
// runs, and touches none of its files.
TEST_F(LaunchUnit, ASecondLaunchWaitsForTheFirstGameToEnd) {
  addArchive(roms, "pacman.zip");
  const LaunchPlan plan = *planLaunch(catalogue({"pacman.zip"}), setup());
  ScopedMessagePresenter presenter([this](const UserMessage &m) { shown << m.text; });
  holdEmulator = true;
  const std::unique_ptr<Launch> first = makeLaunch();
  first->start(plan);
  ASSERT_TRUE(test::turnEventLoopUntil([&] { return first->running(); }));

  const std::unique_ptr<Launch> second = makeLaunch();
  second->start(plan);
  EXPECT_FALSE(second->busy());
  EXPECT_EQ(shown, QStringList{"A game is already running from " + QDir::cleanPath(neo)});
  EXPECT_EQ(entriesOf(scratch()), QStringList{"game.rom"});
  EXPECT_EQ(runs.size(), 1);

  emulatorEnds();
  EXPECT_FALSE(first->busy());
  EXPECT_FALSE(exists(scratch()));
  holdEmulator = false;
  EXPECT_TRUE(run(plan));
  EXPECT_EQ(runs.size(), 2);
}

// The hold is the kernel's: a copy that dies holding it blocks nobody.
TEST_F(LaunchUnit, AKilledHolderDoesNotBlockTheNextLaunch) {
  addArchive(roms, "pacman.zip");
  const LaunchPlan plan = *planLaunch(catalogue({"pacman.zip"}), setup());
  dir.write("neo/~del~~/left.rom", "from the copy that died");
  QProcess holder;
  // The shell takes the hold on its own descriptor and becomes cat, the
  // process killed below; the flock tool shares the hold until it exits.
  holder.start("sh", {"-c", "exec 9<\"$1\" && flock -x 9 && exec cat", "sh", neo});
  ASSERT_TRUE(holder.waitForStarted());
  platform::FolderLock probe;
  ASSERT_TRUE(test::turnEventLoopUntil([&] {
    const bool free = probe.tryLock(neo);
    probe.unlock();
    return !free;
  })) << "flock never took the folder";
  EXPECT_FALSE(run(plan));
  EXPECT_EQ(entriesOf(scratch()), QStringList{"left.rom"});

  holder.kill();
  ASSERT_TRUE(holder.waitForFinished());
  ASSERT_TRUE(test::turnEventLoopUntil([&] {
    const bool free = probe.tryLock(neo);
    probe.unlock();
    return free;
  })) << "the hold outlived the killed holder";
  shown.clear();
  EXPECT_TRUE(run(plan));
  EXPECT_TRUE(shown.isEmpty()) << shown.join('|').toStdString();
  EXPECT_EQ(scratchAtStart, QStringList{"game.rom"});
  EXPECT_FALSE(exists(scratch()));
}

// An emulator installed where the user cannot write unpacks into a folder of
// the user's own, one for each emulator folder, removed after the game.
TEST_F(LaunchUnit, AReadOnlyEmulatorFolderUnpacksIntoTheUsersOwnFolder) {
  addArchive(roms, "pacman.zip");
  LaunchSetup readOnly = setup();
  readOnly.userScratchRoot = dir.file("cache/vantor");
  readOnly.emulatorDirWritable = false;
  const LaunchPlan plan = *planLaunch(catalogue({"pacman.zip"}), readOnly);
  EXPECT_TRUE(plan.scratch.startsWith(readOnly.userScratchRoot + "/"))
      << plan.scratch.toStdString();
  EXPECT_TRUE(plan.scratch.endsWith("/~del~~"));
  EXPECT_NE(userScratchFolder(readOnly.userScratchRoot, "/other/emulator/"), plan.scratch);

  EXPECT_TRUE(run(plan));
  EXPECT_EQ(runs.value(0).value(1), plan.scratch);
  EXPECT_EQ(workingFolders, QStringList{neo});
  EXPECT_EQ(scratchAtStart, QStringList{"game.rom"});
  EXPECT_TRUE(entriesOf(readOnly.userScratchRoot).isEmpty());
  EXPECT_FALSE(exists(scratch()));
}

struct FailureCase {
  const char *name;
  std::function<void(LaunchUnit &)> arrange;
  const char *expected; // the start of the one message
};

void PrintTo(const FailureCase &c, std::ostream *os) {
  *os << c.name;
}

class Failures : public LaunchUnit, public ::testing::WithParamInterface<FailureCase> {};

// Every way a launch can fail says so at most once (a reader that has told
// the user already is not echoed) and leaves things as they were:
// no scratch folder, the ROM name back, the folder free for the next play.
TEST_P(Failures, LeaveEverythingAsItWas) {
  const FailureCase &c = GetParam();
  addArchive(roms, "pacman.zip");
  c.arrange(*this);
  const LaunchPlan plan = *planLaunch(catalogue({"pacman.zip"}), setup());
  EXPECT_FALSE(run(plan));
  const QStringList said = shown + raised;
  ASSERT_EQ(said.size(), *c.expected ? 1 : 0) << said.join('|').toStdString();
  if (*c.expected) {
    EXPECT_TRUE(said[0].startsWith(c.expected)) << said[0].toStdString();
  }
  EXPECT_EQ(statuses.value(statuses.size() - 1), "pacman");
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(QFileInfo(scratch()).isDir());

  QFile::remove(scratch());
  unpacker.entries = 1;
  unpacker.reported = unpacker.throwAtStep = false;
  startError = QString();
  shown.clear();
  raised.clear();
  EXPECT_TRUE(run(plan)) << (shown + raised).join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Failures,
    ::testing::Values(FailureCase{"scratchIsAFile",
                                  [](LaunchUnit &t) { t.dir.write("neo/~del~~", "file"); },
                                  "I/O error: "},
                      FailureCase{"emulatorWillNotStart",
                                  [](LaunchUnit &t) { t.startError = "Permission denied"; },
                                  "Unable to start "},
                      FailureCase{"listingAlreadyReported",
                                  [](LaunchUnit &t) {
                                    t.unpacker.entries = 0;
                                    t.unpacker.reported = true;
                                  },
                                  ""},
                      FailureCase{"unpackerThrows",
                                  [](LaunchUnit &t) {
                                    t.unpacker.steps = {{0, 0, 1}};
                                    t.unpacker.throwAtStep = true;
                                  },
                                  "Error 3 reading Zip file."}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
