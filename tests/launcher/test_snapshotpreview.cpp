#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/mainwindow.h"
#include "launcher/snapshotpreview.h"
#include "linkedwindows.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::TempDir;

namespace {

class Preview : public test::LinkedWindows {
protected:
  void SetUp() override {
    QDir().mkpath(dir.file("roms"));
    QDir().mkpath(dir.file("snaps"));
    QDir().mkpath(dir.file("neo/shots"));
    setup.Snapsloc->setTextValue(dir.file("snaps"));
  }

  void picture(const QString &path, Qt::GlobalColor colour, const char *format) {
    QImage image(6, 6, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, format));
  }
  void bigSkin() { main.FormShaper1->maskedPicture()->setPicture(main.backbig->picture()); }
  QColor shown() const { return main.snaps->picture().pixelColor(2, 2); }
  SnapshotPreview &preview() { return main.snapshotPreview(); }
};

TEST_F(Preview, ExtensionsAreTriedInOrderAndTheButtonShowsItsDeleteFace) {
  picture(dir.file("snaps/pacman.bmp"), Qt::blue, "BMP");
  picture(dir.file("snaps/pacman.gif"), Qt::red, "BMP"); // decoded by content
  dir.write("roms/pacman.zip");
  bigSkin();
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_EQ(preview().currentExtension(), ".gif");
  EXPECT_EQ(shown(), QColor(Qt::red));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
  EXPECT_EQ(main.usedel->toolTip(), "Delete Snapshot");
  EXPECT_EQ(main.usedel->btnState(), 3);
  EXPECT_EQ(main.usedel->nextState(), 3);
  EXPECT_TRUE(main.snapback->isHidden());
  EXPECT_TRUE(main.snapfwd->isHidden());
}

TEST_F(Preview, EachExtensionIsFoundOnItsOwn) {
  const std::pair<const char *, const char *> rows[] = {
      {".jpg", "JPG"}, {".gif", "BMP"}, {".pcx", "BMP"}, {".bmp", "BMP"}};
  bigSkin();
  for (const auto &[ext, format] : rows) {
    TempDir snaps;
    picture(snaps.file(QString("rom") + ext), Qt::white, format);
    main.showSnapshot(snaps.file("rom"), true);
    EXPECT_EQ(preview().currentExtension(), QString(ext));
    EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
  }
}

TEST_F(Preview, NoSnapshotEmptiesTheFrameAndOffersAdoption) {
  dir.write("roms/galaga.zip");
  bigSkin();
  main.showSnapshot(dir.file("snaps/other"), true);
  picture(dir.file("snaps/other.jpg"), Qt::red, "JPG");
  main.showSnapshot(dir.file("snaps/other"), true);
  ASSERT_FALSE(main.snaps->picture().isNull());
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(preview().currentExtension(), "");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_EQ(main.usedel->toolTip(), "Use this lovely pix for the snapshot");
  EXPECT_EQ(main.usedel->btnState(), 1);
  EXPECT_FALSE(main.snapback->isHidden());
}

TEST_F(Preview, TheSmallSkinLeavesFrameExtensionAndButtonAlone) {
  picture(dir.file("snaps/pacman.gif"), Qt::red, "BMP");
  dir.write("roms/pacman.zip");
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_EQ(main.romname->caption(), "pacman");
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(preview().currentExtension(), "");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::NoMode);
}

TEST_F(Preview, AFileThatDoesNotDecodeStillCountsAsFound) {
  dir.write("snaps/broken.jpg", "not a picture");
  bigSkin();
  main.showSnapshot(dir.file("snaps/broken"), true);
  EXPECT_EQ(preview().currentExtension(), ".jpg");
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

// Screenshots shot0001..N in the emulator's shots folder; returns the colours
// of what stepping showed.
class Stepping : public Preview {
protected:
  const Qt::GlobalColor colours[3] = {Qt::red, Qt::green, Qt::blue};
  void shots(int n) {
    for (int i = 0; i < n; ++i)
      picture(dir.file(QString("neo/shots/shot000%1.bmp").arg(i + 1)), colours[i], "BMP");
    main.applyShotsFolder(dir.file("neo/shots"));
    bigSkin();
  }
};

TEST_F(Stepping, ForwardShowsTheLastThenBackStopsAtTheFirst) {
  shots(3);
  main.snapfwdClick(nullptr);
  EXPECT_EQ(shown(), QColor(Qt::blue));
  EXPECT_EQ(main.shotdir->itemIndex(), 2);
  main.snapfwdClick(nullptr);
  EXPECT_EQ(main.shotdir->itemIndex(), 2);
  main.snapbackClick(nullptr);
  EXPECT_EQ(shown(), QColor(Qt::green));
  main.snapbackClick(nullptr);
  EXPECT_EQ(shown(), QColor(Qt::red));
  main.snapbackClick(nullptr);
  EXPECT_EQ(shown(), QColor(Qt::red));
  EXPECT_EQ(main.shotdir->itemIndex(), 0);
  EXPECT_EQ(preview().currentExtension(), ".bmp");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::NoMode); // browsing keeps the mode
}

TEST_F(Stepping, ASingleScreenshot) {
  shots(1);
  main.snapbackClick(nullptr);
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(main.shotdir->itemIndex(), -1);
  main.snapfwdClick(nullptr);
  EXPECT_EQ(shown(), QColor(Qt::red));
}

TEST_F(Stepping, NoScreenshots) {
  shots(0);
  main.snapfwdClick(nullptr);
  main.snapbackClick(nullptr);
  EXPECT_TRUE(main.snaps->picture().isNull());
  EXPECT_EQ(main.shotdir->itemIndex(), -1);
}

struct SpellingCase {
  const char *name;
  std::vector<std::pair<const char *, Qt::GlobalColor>> files; // in folder snaps
  const char *extension;
  const char *file; // the one on show
};

class SnapshotSpelling : public Preview, public ::testing::WithParamInterface<SpellingCase> {};

TEST_P(SnapshotSpelling, IsFoundCaseBlindAsTheFolderListsIt) {
  for (const auto &[name, colour] : GetParam().files)
    picture(dir.file(QString("snaps/") + name), colour, "BMP");
  dir.write("roms/pacman.zip");
  bigSkin();
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_EQ(preview().currentExtension(), QString(GetParam().extension));
  EXPECT_EQ(preview().shownFile(), dir.file(QString("snaps/") + GetParam().file));
  EXPECT_EQ(shown(), QColor(Qt::red));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SnapshotSpelling,
    ::testing::Values(SpellingCase{"upper_case", {{"PACMAN.JPG", Qt::red}}, ".jpg", "PACMAN.JPG"},
                      SpellingCase{"exact_spelling_wins",
                                   {{"PACMAN.GIF", Qt::blue}, {"pacman.gif", Qt::red}},
                                   ".gif",
                                   "pacman.gif"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Preview, AQuotedSnapshotFolderIsAFolder) {
  QDir().mkpath(dir.file("my snaps"));
  picture(dir.file("my snaps/pacman.jpg"), Qt::red, "JPG");
  dir.write("roms/pacman.zip");
  bigSkin();
  setup.Snapsloc->setTextValue('"' + dir.file("my snaps") + '"');
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_EQ(preview().currentExtension(), ".jpg");
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
}

TEST_F(Stepping, AScreenshotIsShownAsListed) {
  picture(dir.file("neo/shots/SHOT0001.BMP"), Qt::red, "BMP");
  main.applyShotsFolder(dir.file("neo/shots"));
  bigSkin();
  main.snapfwdClick(nullptr);
  EXPECT_EQ(main.shotdir->item(0), "SHOT0001.BMP");
  EXPECT_EQ(shown(), QColor(Qt::red));
  EXPECT_EQ(preview().shownFile(), dir.file("neo/shots/SHOT0001.BMP"));
}

TEST_F(Stepping, TheShotsFolderMadeAfterTheEmulatorWasSetIsListedAfterARefresh) {
  // The folder is missing when the emulator is chosen; that error is not the point here.
  ScopedMessagePresenter presenter([](const UserMessage &) {});
  dir.write("emu/neorage", "#!");
  setup.neoloc->setTextValue(dir.file("emu/neorage"));
  ASSERT_EQ(setup.neodir(), dir.file("emu") + '/');
  const QString before = main.shotdir->directory();
  // The first run makes the folder and leaves a screenshot in it.
  ASSERT_TRUE(QDir().mkpath(dir.file("emu/shots")));
  picture(dir.file("emu/shots/shot0001.bmp"), Qt::green, "BMP");
  EXPECT_EQ(main.shotdir->directory(), before);
  main.refreshShotsFolder();
  main.shotdir->update();
  EXPECT_EQ(QDir(main.shotdir->directory()), QDir(dir.file("emu/shots")));
  EXPECT_EQ(main.shotdir->items(), QStringList{"shot0001.bmp"});
  // Once there, a refresh keeps the list and its selection.
  main.shotdir->setItemIndex(0);
  main.refreshShotsFolder();
  EXPECT_EQ(main.shotdir->itemIndex(), 0);
}

TEST_F(Stepping, ARefreshWithoutAnEmulatorOrItsShotsFolderChangesNothing) {
  shots(1);
  main.refreshShotsFolder();
  EXPECT_EQ(QDir(main.shotdir->directory()), QDir(dir.file("neo/shots")));
  dir.write("emu/neorage", "#!");
  ScopedMessagePresenter presenter([](const UserMessage &) {});
  setup.neoloc->setTextValue(dir.file("emu/neorage"));
  main.refreshShotsFolder();
  EXPECT_EQ(QDir(main.shotdir->directory()), QDir(dir.file("neo/shots")));
}

} // namespace
