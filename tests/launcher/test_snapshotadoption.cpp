// Taking a screenshot as a game's snapshot, and deleting a snapshot through
// the confirmation box.
#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "launcher/snapshotpreview.h"
#include "linkedwindows.h"
#include "platform/clock.h"
#include "platform/filereplace.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"
#include "support/fullfilesystem.h"
#include "support/modalanswer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <optional>

using namespace vantor;

namespace {

bool exists(const QString &path) {
  return QFileInfo::exists(path);
}

// Main and setup window with the confirmation box, the big skin, a fake
// clock and cursor, and the game pacman selected.
class Snapshots : public test::LinkedWindows {
protected:
  void SetUp() override {
    platform::setTickSource([this] { return now; });
    platform::setCursorSource([this] { return cursor; });
    main.setConfirmBox(&box);
    box.OnShow = [this](QObject *) { ++boxShowings; };
    QDir().mkpath(dir.file("snaps"));
    QDir().mkpath(dir.file("neo/shots"));
    dir.write("roms/pacman.zip");
    setup.Snapsloc->setTextValue(dir.file("snaps"));
    main.FormShaper1->maskedPicture()->setPicture(main.backbig->picture());
  }
  void TearDown() override {
    main.setConfirmBox(nullptr);
    platform::setTickSource({});
    platform::setCursorSource({});
  }

  void picture(const QString &name, Qt::GlobalColor colour, const char *format = "BMP") {
    QImage image(8, 8, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(dir.file(name), format));
  }
  void selectPacman() { setup.romloc->setTextValue(dir.file("roms")); }
  // Screenshots in the emulator's folder, then the last one browsed to.
  void browseToLastOf(const QStringList &shots) {
    for (int i = 0; i < shots.size(); ++i)
      picture("neo/shots/" + shots[i], i % 2 ? Qt::green : Qt::blue);
    main.applyShotsFolder(dir.file("neo/shots"));
    main.snapfwdClick(main.snapfwd);
  }
  // Runs `act` in the box once it is up, each time it comes up from now on.
  void answerWith(const std::function<void()> &act) {
    answering.emplace(&box, [act](QWidget *) { act(); });
  }
  // Answers the box with one of its buttons.
  void answerWith(TPicBtn *Tmessbox::*button) {
    answerWith(
        [this, button] { QTest::mouseClick(box.*button, Qt::LeftButton, {}, QPoint(45, 20)); });
  }
  // Through the button, which reports what its command throws.
  void clickUsedel() { QTest::mouseClick(main.usedel, Qt::LeftButton, {}, QPoint(50, 13)); }
  QColor shown() const { return main.snaps->picture().pixelColor(2, 2); }
  SnapshotPreview &preview() { return main.snapshotPreview(); }

  std::uint32_t now = 5000;
  QPoint cursor{-100, -100};
  Tmessbox box;
  std::optional<test::ModalAnswer> answering;
  int boxShowings = 0;
  QStringList messages;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { messages << m.text; }};
};

TEST_F(Snapshots, AdoptingWritesTheJpegRemovesTheScreenshotAndOffersDeletion) {
  selectPacman();
  ASSERT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  browseToLastOf({"shot0001.bmp", "shot0002.bmp"});
  ASSERT_EQ(preview().shownFile(), dir.file("neo/shots/shot0002.bmp"));

  main.usedelCommand(main.usedel);

  EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
  const QImage written(dir.file("snaps/pacman.jpg"));
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.size(), QSize(8, 8));
  EXPECT_NEAR(written.pixelColor(4, 4).green(), 255, 8);
  EXPECT_FALSE(exists(dir.file("neo/shots/shot0002.bmp")));
  EXPECT_EQ(main.shotdir->items(), QStringList{"shot0001.bmp"});
  EXPECT_EQ(shown(), QColor(Qt::green)); // the adopted picture stays on show
  EXPECT_EQ(preview().currentExtension(), ".jpg");
  EXPECT_EQ(preview().shownFile(), dir.file("snaps/pacman.jpg"));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
  EXPECT_EQ(main.usedel->btnState(), 3);
  EXPECT_TRUE(main.snapback->isHidden());

  main.showSnapshot(main.snapshotBasePath(), true);
  EXPECT_EQ(preview().shownFile(), dir.file("snaps/pacman.jpg"));
}

TEST_F(Snapshots, NothingOnShowAdoptsNothing) {
  selectPacman();
  picture("neo/shots/shot0001.bmp", Qt::blue);
  main.applyShotsFolder(dir.file("neo/shots"));
  main.usedelCommand(main.usedel);
  EXPECT_FALSE(exists(dir.file("snaps/pacman.jpg")));
  EXPECT_TRUE(exists(dir.file("neo/shots/shot0001.bmp")));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Snapshots, TheNameComesFromTheCatalogueNotFromAStatusCaption) {
  selectPacman();
  browseToLastOf({"shot0001.bmp"});
  main.romname->setCaption("Please Wait..Unzipping ROM..");
  main.usedelCommand(main.usedel);
  EXPECT_TRUE(exists(dir.file("snaps/pacman.jpg")));
  EXPECT_EQ(QDir(dir.file("snaps")).entryList(QDir::Files), QStringList{"pacman.jpg"});
}

TEST_F(Snapshots, OnlyTheFileOnShowIsRemoved) {
  // shot0002 is looked up by extension, so its JPEG twin is what shows.
  selectPacman();
  picture("neo/shots/shot0002.jpg", Qt::red, "JPG");
  browseToLastOf({"shot0001.bmp", "shot0002.bmp"});
  ASSERT_EQ(preview().shownFile(), dir.file("neo/shots/shot0002.jpg"));
  main.usedelCommand(main.usedel);
  EXPECT_FALSE(exists(dir.file("neo/shots/shot0002.jpg")));
  EXPECT_TRUE(exists(dir.file("neo/shots/shot0002.bmp")));
  EXPECT_EQ(main.shotdir->count(), 2);
}

// Undoes what a case set up for the adoption once the adoption is over.
using Spoiled = std::shared_ptr<void>;

struct FailedWrite {
  const char *name;
  // Nothing when the spoiling cannot be done here.
  std::function<std::optional<Spoiled>(const test::TempDir &)> spoil;
  const char *reason;
};

class AdoptionFailure : public Snapshots, public ::testing::WithParamInterface<FailedWrite> {};

TEST_P(AdoptionFailure, KeepsTheScreenshotAndTheModeAndSaysWhy) {
  selectPacman();
  browseToLastOf({"shot0001.bmp"});
  const std::optional<Spoiled> spoiled = GetParam().spoil(dir);
  if (!spoiled)
    GTEST_SKIP() << "this failure cannot be made here";
  clickUsedel();

  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("The snapshot could not be saved as " +
                                     dir.file("snaps/pacman.jpg") + ": "))
      << messages[0].toStdString();
  EXPECT_TRUE(messages[0].endsWith(QString(GetParam().reason) + ".")) << messages[0].toStdString();
  EXPECT_FALSE(QFileInfo(dir.file("snaps/pacman.jpg")).isFile());
  for (const QString &left : QDir(dir.file("snaps")).entryList(QDir::Files | QDir::Hidden))
    EXPECT_FALSE(left.startsWith(".pacman")) << "a temporary file was left: " << left.toStdString();
  EXPECT_TRUE(exists(dir.file("neo/shots/shot0001.bmp")));
  EXPECT_EQ(main.shotdir->count(), 1);
  EXPECT_EQ(preview().currentExtension(), ".bmp");
  EXPECT_EQ(preview().shownFile(), dir.file("neo/shots/shot0001.bmp"));
  EXPECT_EQ(shown(), QColor(Qt::blue));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_EQ(main.usedel->btnState(), 1);
  EXPECT_FALSE(main.snapback->isHidden());
}

// Restores the real writes when the adoption is over.
Spoiled failingWrites(int error) {
  platform::setReplaceFault([error](platform::ReplaceStep step) {
    return step == platform::ReplaceStep::Write ? error : 0;
  });
  return Spoiled(nullptr, [](void *) { platform::setReplaceFault({}); });
}

INSTANTIATE_TEST_SUITE_P(
    Causes, AdoptionFailure,
    ::testing::Values(FailedWrite{"FolderGone",
                                  [](const test::TempDir &d) {
                                    QDir(d.file("snaps")).removeRecursively();
                                    return std::optional<Spoiled>(Spoiled());
                                  },
                                  "does not exist"},
                      FailedWrite{"FolderInTheWay",
                                  [](const test::TempDir &d) {
                                    QDir().mkpath(d.file("snaps/pacman.jpg/x"));
                                    return std::optional<Spoiled>(Spoiled());
                                  },
                                  "a folder of that name is in the way"},
                      FailedWrite{"DiskFullOnWrite",
                                  [](const test::TempDir &) {
                                    return std::optional<Spoiled>(failingWrites(ENOSPC));
                                  },
                                  "no space left on device"},
                      FailedWrite{"SmallFileSystemFilledUp",
                                  [](const test::TempDir &d) -> std::optional<Spoiled> {
                                    auto full =
                                        std::make_shared<test::FullFileSystem>(d.file("snaps"));
                                    if (!full->mounted())
                                      return std::nullopt;
                                    return full;
                                  },
                                  "no space left on device"}),
    [](const auto &info) { return std::string(info.param.name); });

struct LinkedName {
  const char *name;
  bool linkBeforeTheShot; // else made while the screenshot is on show
  bool outsideExists;
};

class LinkNamedLikeTheSnapshot : public Snapshots,
                                 public ::testing::WithParamInterface<LinkedName> {};

TEST_P(LinkNamedLikeTheSnapshot, IsReplacedByTheJpegAndWhatItPointsAtIsUntouched) {
  const LinkedName &c = GetParam();
  const QString outside = dir.file("elsewhere/notes.txt");
  const QByteArray outsideBytes = "not a picture, and not the launcher's\n";
  dir.mkdir("elsewhere");
  if (c.outsideExists)
    dir.write("elsewhere/notes.txt", outsideBytes);
  const auto link = [&] { ASSERT_TRUE(QFile::link(outside, dir.file("snaps/pacman.jpg"))); };
  if (c.linkBeforeTheShot)
    link();
  selectPacman();
  preview().enterAdoptMode(); // as a finished run leaves it
  browseToLastOf({"shot0001.bmp"});
  if (!c.linkBeforeTheShot)
    link();

  main.usedelCommand(main.usedel);

  EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
  const QFileInfo snapshot(dir.file("snaps/pacman.jpg"));
  EXPECT_FALSE(snapshot.isSymLink());
  EXPECT_FALSE(QImage(snapshot.filePath(), "JPG").isNull());
  if (c.outsideExists) {
    QFile kept(outside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), outsideBytes);
  } else {
    EXPECT_FALSE(QFileInfo::exists(outside));
  }
  EXPECT_FALSE(exists(dir.file("neo/shots/shot0001.bmp")));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkNamedLikeTheSnapshot,
                         ::testing::Values(LinkedName{"MadeBefore", true, true},
                                           LinkedName{"MadeWhileOnShow", false, true},
                                           LinkedName{"Dangling", true, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Snapshots, NoSnapshotsFolderSetIsSaidPlainly) {
  setup.Snapsloc->setTextValue("");
  selectPacman();
  browseToLastOf({"shot0001.bmp"});
  clickUsedel();
  EXPECT_EQ(messages, QStringList{"The snapshot could not be saved: no snapshots folder is set."});
  EXPECT_TRUE(exists(dir.file("neo/shots/shot0001.bmp")));
}

TEST_F(Snapshots, YesDeletesTheJpegOnlyAndTheNextPreviewFindsTheGif) {
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  picture("snaps/pacman.gif", Qt::blue);
  selectPacman();
  ASSERT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);

  answerWith(&Tmessbox::butyes);
  main.usedelCommand(main.usedel);

  EXPECT_EQ(boxShowings, 1);
  EXPECT_FALSE(box.isVisible());
  EXPECT_FALSE(exists(dir.file("snaps/pacman.jpg")));
  EXPECT_TRUE(exists(dir.file("snaps/pacman.gif")));
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(preview().currentExtension(), "");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_EQ(main.usedel->toolTip(), "Use this lovely pix for the snapshot");
  EXPECT_FALSE(main.snapback->isHidden());

  main.showSnapshot(main.snapshotBasePath(), true);
  EXPECT_EQ(preview().currentExtension(), ".gif");
  EXPECT_EQ(shown(), QColor(Qt::blue));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

TEST_F(Snapshots, NoAndClosingTheBoxChangeNothing) {
  const std::function<void()> answers[] = {
      [this] { answerWith(&Tmessbox::butno); },
      [this] { answerWith([this] { box.close(); }); },
      [this] { answerWith([this] { QTest::keyClick(&box, Qt::Key_Escape); }); },
  };
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  selectPacman();
  for (const auto &answer : answers) {
    answer();
    main.usedelCommand(main.usedel);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(exists(dir.file("snaps/pacman.jpg")));
    EXPECT_EQ(preview().currentExtension(), ".jpg");
    EXPECT_FALSE(main.snaps->picture().isNull());
    EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
    EXPECT_EQ(main.usedel->btnState(), 3);
  }
  EXPECT_EQ(boxShowings, 3);
}

TEST_F(Snapshots, AFailedDeleteIsReportedAndTheFrameAndModeStay) {
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  selectPacman();
  // Something that cannot be removed as a file now stands under that name.
  ASSERT_TRUE(QFile::remove(dir.file("snaps/pacman.jpg")));
  QDir().mkpath(dir.file("snaps/pacman.jpg/inside"));
  answerWith(&Tmessbox::butyes);
  clickUsedel();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("The snapshot " + dir.file("snaps/pacman.jpg") +
                                     " could not be deleted"))
      << messages[0].toStdString();
  EXPECT_FALSE(main.snaps->picture().isNull());
  EXPECT_EQ(preview().currentExtension(), ".jpg");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

TEST_F(Snapshots, AHeldButtonNeverAsksTwiceAndARepeatedYesDeletesNothing) {
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  picture("snaps/pacman.gif", Qt::blue);
  selectPacman();
  const QPoint onUsedel = main.usedel->mapToGlobal(QPoint(50, 13));
  cursor = onUsedel;
  // usedel is pressed and held; in the box, yes is pressed and held too.
  answerWith([this] {
    cursor = box.butyes->mapToGlobal(QPoint(45, 20));
    QTest::mousePress(box.butyes, Qt::LeftButton, {}, QPoint(45, 20));
  });
  cursor = onUsedel;
  QTest::mousePress(main.usedel, Qt::LeftButton, {}, QPoint(50, 13));
  ASSERT_EQ(boxShowings, 1);
  ASSERT_FALSE(exists(dir.file("snaps/pacman.jpg")));
  main.showSnapshot(main.snapshotBasePath(), true); // the GIF, in delete mode again
  ASSERT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);

  // Both presses repeat while held: usedel asks nothing, yes answers nothing.
  cursor = onUsedel;
  for (int i = 0; i < 1000; ++i) {
    ++now;
    main.usedel->repeatTick();
  }
  QTest::mouseRelease(main.usedel, Qt::LeftButton, {}, QPoint(50, 13));
  cursor = box.butyes->mapToGlobal(QPoint(45, 20));
  for (int i = 0; i < 1000; ++i) {
    ++now;
    box.butyes->repeatTick();
  }
  EXPECT_EQ(boxShowings, 1);
  EXPECT_FALSE(box.isVisible());
  EXPECT_TRUE(exists(dir.file("snaps/pacman.gif")));

  // Yes is still held where the box shows again: that is no answer.
  bool yesOffered = false;
  answerWith([&] {
    yesOffered = box.butyes->isEnabled() && box.butyes->btnState() == 1;
    for (int i = 0; i < 1000; ++i) {
      ++now;
      box.butyes->repeatTick();
    }
    QTest::mouseClick(box.butno, Qt::LeftButton, {}, QPoint(45, 20));
  });
  main.usedelCommand(main.usedel);
  EXPECT_EQ(boxShowings, 2);
  EXPECT_TRUE(yesOffered);
  EXPECT_TRUE(exists(dir.file("snaps/pacman.gif")));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

// Insert is the adopt/delete button and F3 the skin toggle, wherever the
// focus is; Insert does nothing while the small skin hides the button.
TEST_F(Snapshots, InsertAndF3AreTheButtonsUnderThePreviewAndTheSkinToggle) {
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  selectPacman();
  ASSERT_TRUE(main.bigSkinShown());

  QTest::keyClick(main.play, Qt::Key_F3);
  EXPECT_FALSE(main.bigSkinShown());
  QTest::keyClick(main.RotaryDial1, Qt::Key_Insert);
  EXPECT_EQ(boxShowings, 0);
  QTest::keyClick(main.RotaryDial1, Qt::Key_F3);
  ASSERT_TRUE(main.bigSkinShown());

  QTimer::singleShot(0, &box, [this] { QTest::keyClick(box.focusWidget(), Qt::Key_Y); });
  QTest::keyClick(main.exitall, Qt::Key_Insert);
  EXPECT_EQ(boxShowings, 1);
  EXPECT_FALSE(exists(dir.file("snaps/pacman.jpg")));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);

  browseToLastOf({"shot0001.bmp"});
  QTest::keyClick(main.play, Qt::Key_Insert);
  EXPECT_TRUE(exists(dir.file("snaps/pacman.jpg")));
  EXPECT_FALSE(exists(dir.file("neo/shots/shot0001.bmp")));
  // A held key does not go on to ask about the snapshot just adopted.
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(main.play, &held);
  EXPECT_EQ(boxShowings, 1);
}

TEST_F(Snapshots, TheBoxIsCentredShapedAndAsks) {
  picture("snaps/pacman.jpg", Qt::red, "JPG");
  selectPacman();
  box.move(0, 0);
  QRect geometry;
  answerWith([&] {
    geometry = box.geometry();
    QTest::mouseClick(box.butno, Qt::LeftButton, {}, QPoint(45, 20));
  });
  main.usedelCommand(main.usedel);
  const QRect screen = box.screen()->geometry();
  EXPECT_EQ(geometry.center(), screen.center()) << screen.width() << "x" << screen.height();
  EXPECT_TRUE(box.FormShaper1->active());
  ASSERT_TRUE(box.FormShaper1->region().has_value());
  EXPECT_FALSE(box.FormShaper1->region()->contains(QPoint(0, 0)));
  EXPECT_TRUE(box.FormShaper1->region()->contains(QPoint(129, 87)));
  EXPECT_EQ(box.messlab->caption(), "Are you sure you wish to delete this snap ?");
  EXPECT_LE(box.messlab->fittedSize().height(), box.messlab->height()); // no line cut off
}

struct Centring {
  QRect screen;
  QSize size;
  QPoint expected;
};

class CentredOn : public ::testing::TestWithParam<Centring> {};

TEST_P(CentredOn, SitsInTheMiddle) {
  EXPECT_EQ(centredOn(GetParam().screen, GetParam().size), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Screens, CentredOn,
                         ::testing::Values(Centring{{0, 0, 1024, 768}, {258, 174}, {383, 297}},
                                           Centring{{0, 0, 800, 600}, {258, 174}, {271, 213}},
                                           Centring{{1920, 0, 1280, 1024}, {258, 174}, {2431, 425}},
                                           Centring{{0, 0, 200, 100}, {258, 174}, {-29, -37}}));

} // namespace
