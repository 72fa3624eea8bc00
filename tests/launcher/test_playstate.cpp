// The main window while a game is played: the event loop keeps turning,
// every failure's real box can be closed, a close waits for the game, and
// Escape at any moment of an unpacking leaves nothing behind.
#include "archive/zipextractor.h"
#include "archive/zipwriter.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "platform/folderlock.h"
#include "playfixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

using namespace vantor;
using vantor::test::lines;
using vantor::test::Play;

namespace {

// Waits for the game's "go" file, so the test decides when it ends.
const char *WaitingEmulator = R"(#!/bin/sh
printf '%s\n' "$@" > args.txt
ls -A "$1" > listing.txt 2>&1
i=0
while [ ! -f go ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i + 1)); done
)";

// Leaves a file in the scratch folder that cannot be deleted.
const char *StubbornEmulator = R"(#!/bin/sh
printf '%s\n' "$@" > args.txt
mkdir -p "$1/keep" && touch "$1/keep/locked" && chattr +i "$1/keep/locked"
)";

enum class Closer { Return, Escape, Click };

// Answers each message box that comes up the way the test says, and keeps
// its text. The boxes are the real ones: nothing stands in for them.
class BoxAnswerer final {
public:
  explicit BoxAnswerer(Closer closer) : closer_(closer) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(5);
  }
  QStringList texts;

private:
  void answer() {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box == answered_)
      return;
    answered_ = box;
    texts << box->text();
    switch (closer_) {
    case Closer::Return:
      QTest::keyClick(box, Qt::Key_Return);
      break;
    case Closer::Escape:
      QTest::keyClick(box, Qt::Key_Escape);
      break;
    case Closer::Click:
      QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
      break;
    }
  }

  Closer closer_;
  QTimer timer_;
  QPointer<QMessageBox> answered_;
};

class RealBoxPlay : public Play {
public:
  void SetUp() override {
    Play::SetUp();
    presenter.reset(); // the real boxes
  }

  void writeZip(const QString &path, const QList<test::ZipItem> &items) {
    test::ZipWriter writer;
    for (const test::ZipItem &item : items)
      writer.add(item);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writer.build());
  }
};

struct FailureCase {
  const char *name;
  std::function<void(RealBoxPlay &)> arrange;
  const char *expected; // the start of the one box's text
  std::function<void(RealBoxPlay &)> tidy = {};
};

struct BoxCase {
  FailureCase failure;
  Closer closer;
};

void PrintTo(const BoxCase &c, std::ostream *os) {
  *os << c.failure.name;
}

class FailedPlay : public RealBoxPlay, public ::testing::WithParamInterface<BoxCase> {
public:
  // The archives sort so that the failing one ("a…") is selected first and
  // the good one ("zgood") is the last entry.
  void corruptStoredZip(const QString &path) {
    makeStoredZip(path, 100);
    QFile bad(path);
    ASSERT_TRUE(bad.open(QIODevice::ReadWrite));
    ASSERT_TRUE(bad.seek(30 + 5 + 10));
    bad.write("x");
  }
  QProcess holder;
};

// Each failure shows one real box that closes by Return, Escape and a click,
// and leaves the window ready: the next play of a good archive works.
TEST_P(FailedPlay, ShowsABoxThatClosesAndPlaysAgainAfterwards) {
  const BoxCase &c = GetParam();
  makeZip(root + "/roms/zgood.zip", {"good.p1"});
  c.failure.arrange(*this);
  configure();
  if (HasFatalFailure() || IsSkipped())
    return;
  BoxAnswerer answerer(c.closer);

  playAndWait();

  ASSERT_EQ(answerer.texts.size(), 1) << answerer.texts.join('|').toStdString();
  EXPECT_TRUE(answerer.texts[0].startsWith(c.failure.expected)) << answerer.texts[0].toStdString();
  EXPECT_FALSE(main.playing());
  if (c.failure.tidy)
    c.failure.tidy(*this);

  QFile::remove(neo + "args.txt");
  writeEmulator(test::EmulatorScript);
  main.RotaryDial1->setPosition(main.listroms.count() - 1);
  ASSERT_EQ(main.romName(), "zgood");
  playAndWait();
  EXPECT_EQ(answerer.texts.size(), 1) << answerer.texts.join('|').toStdString();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"good.p1"});
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_EQ(main.romname->caption(), "zgood");
}

bool canMakeImmutable() {
  test::TempDir probe;
  const QString file = probe.write("probe");
  const bool ok = QProcess::execute("chattr", {"+i", file}) == 0;
  QProcess::execute("chattr", {"-i", file});
  return ok;
}

const FailureCase kFailures[] = {
    {"notAZip",
     [](RealBoxPlay &t) { t.dir.write("my games/roms/ajunk.zip", "this is no archive"); },
     "No valid zip entries found"},
    {"crcError",
     [](RealBoxPlay &t) {
       static_cast<FailedPlay &>(t).corruptStoredZip(t.root + "/roms/abad.zip");
     },
     "Unpacking abad.zip failed:"},
    {"noFiles",
     [](RealBoxPlay &t) {
       test::ZipItem folder;
       folder.name = "sub/";
       t.writeZip(t.root + "/roms/aempty.zip", {folder});
     },
     "Error - no files in the Zip file"},
    {"emulatorNotExecutable",
     [](RealBoxPlay &t) {
       t.makeZip(t.root + "/roms/agame.zip", {"a.p1"});
       QFile::setPermissions(t.neo + "neorage", QFile::ReadOwner | QFile::WriteOwner);
     },
     "Unable to start "},
    {"emulatorMissing",
     [](RealBoxPlay &t) {
       t.makeZip(t.root + "/roms/agame.zip", {"a.p1"});
       QFile::rename(t.neo + "neorage", t.neo + "elsewhere");
     },
     "Choose the emulator program in the setup window first.",
     [](RealBoxPlay &t) { QFile::rename(t.neo + "elsewhere", t.neo + "neorage"); }},
    {"scratchCannotBeCreated",
     [](RealBoxPlay &t) {
       t.makeZip(t.root + "/roms/agame.zip", {"a.p1"});
       t.dir.write("my games/neo emu/~del~~", "a file where the folder goes");
     },
     "I/O error: ", [](RealBoxPlay &t) { QFile::remove(t.scratch()); }},
    {"scratchCannotBeRemoved",
     [](RealBoxPlay &t) {
       if (!canMakeImmutable())
         GTEST_SKIP() << "no immutable files here";
       t.makeZip(t.root + "/roms/agame.zip", {"a.p1"});
       t.writeEmulator(StubbornEmulator);
     },
     "Could not remove the folder ",
     [](RealBoxPlay &t) {
       QProcess::execute("chattr", {"-i", t.scratch() + "/keep/locked"});
       QDir(t.scratch()).removeRecursively();
     }},
    {"alreadyRunningElsewhere",
     [](RealBoxPlay &t) {
       t.makeZip(t.root + "/roms/agame.zip", {"a.p1"});
       QProcess &holder = static_cast<FailedPlay &>(t).holder;
       holder.start("sh", {"-c", "exec 9<\"$1\" && flock -x 9 && exec cat", "sh", t.neo});
       ASSERT_TRUE(holder.waitForStarted());
       platform::FolderLock probe;
       ASSERT_TRUE(test::turnEventLoopUntil([&] {
         const bool free = probe.tryLock(t.neo);
         probe.unlock();
         return !free;
       }));
     },
     "A game is already running from ",
     [](RealBoxPlay &t) {
       QProcess &holder = static_cast<FailedPlay &>(t).holder;
       holder.kill();
       holder.waitForFinished();
     }},
};

std::vector<BoxCase> boxCases() {
  std::vector<BoxCase> cases;
  for (const FailureCase &failure : kFailures)
    for (Closer closer : {Closer::Return, Closer::Escape})
      cases.push_back({failure, closer});
  // A click answers a box like a key; two kinds of failure show it.
  cases.push_back({kFailures[0], Closer::Click});
  cases.push_back({kFailures[3], Closer::Click});
  return cases;
}

std::string caseName(const ::testing::TestParamInfo<BoxCase> &info) {
  const char *closer = info.param.closer == Closer::Return   ? "Return"
                       : info.param.closer == Closer::Escape ? "Escape"
                                                             : "Click";
  return std::string(info.param.failure.name) + "_" + closer;
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedPlay, ::testing::ValuesIn(boxCases()), caseName);

// While the emulator runs the window lives: timers fire, it repaints, its
// input for the game waits, and a close waits for the game to end.
TEST_F(Play, TheWindowLivesWhileTheGameRuns) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  makeZip(root + "/roms/rtype.zip", {"rtype.p1"});
  writeEmulator(WaitingEmulator);
  configure();
  main.OnShow = {}; // the settings are the test's, not the stored ones
  main.show();
  int paints = 0;
  struct PaintCounter : QObject {
    int &count;
    explicit PaintCounter(int &c) : count(c) {}
    bool eventFilter(QObject *, QEvent *event) override {
      count += event->type() == QEvent::Paint;
      return false;
    }
  } counter(paints);
  main.romname->installEventFilter(&counter);

  callHandler(main.play->OnClick, main.play);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !lines(neo + "listing.txt").isEmpty(); }))
      << "the emulator never started";
  EXPECT_TRUE(main.playing());
  EXPECT_EQ(main.romname->caption(), "Running NEORAGE..");
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"pacman.p1"});

  bool fired = false;
  QTimer::singleShot(0, [&fired] { fired = true; });
  const int paintsBefore = paints;
  main.romname->update();
  ASSERT_TRUE(test::turnEventLoopUntil([&] { return fired && paints > paintsBefore; }));

  QTest::keyClick(main.RotaryDial1, Qt::Key_Right);
  EXPECT_EQ(main.RotaryDial1->position(), 0);
  main.close();
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(main.romname->caption(), "Closing when the game ends..");
  EXPECT_TRUE(QFileInfo(scratch()).isDir());

  dir.write("my games/neo emu/go");
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.isVisible(); }))
      << "the window did not close after the game";
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

// Escape at any moment of an unpacking on the worker, fifty times over:
// never a box, never a file left, and the next play works.
TEST_F(Play, EscapeAtAnyMomentLeavesNothingBehind) {
  test::ZipWriter writer;
  for (int i = 0; i < 24; ++i) {
    test::ZipItem item;
    item.name = QString("part%1.rom").arg(i, 2, 10, QChar('0')).toUtf8();
    item.data = QByteArray(96 * 1024, char('a' + i % 26));
    item.deflate = i % 2 == 0;
    writer.add(item);
  }
  QFile file(root + "/roms/big.zip");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(writer.build());
  file.close();
  configure();

  for (int round = 0; round < 50; ++round) {
    callHandler(main.play->OnClick, main.play);
    ASSERT_TRUE(main.playing());
    // A different moment each round: a few turns of the loop, a short pause.
    for (int turn = 0; turn < round % 7; ++turn)
      QCoreApplication::processEvents();
    QThread::usleep(unsigned(round * 97 % 3000));
    QTest::keyClick(main.play, Qt::Key_Escape);
    ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); })) << round;
    ASSERT_FALSE(QFileInfo::exists(scratch())) << round;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  QFile::remove(neo + "listing.txt");
  playAndWait();
  EXPECT_EQ(lines(neo + "listing.txt").size(), 24);
}

} // namespace
