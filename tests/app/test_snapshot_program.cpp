// A game's snapshot taken from a new screenshot and deleted again, through the
// program's own windows, against a stand-in emulator that leaves a screenshot.
#include "app/windows.h"
#include "archive/zipextractor.h"
#include "controls/picbtn.h"
#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "launcher/snapshotpreview.h"
#include "platform/clock.h"
#include "platform/usermessage.h"
#include "settings/formstorage_testing.h"
#include "settings/inifilename.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vantor {
namespace {

const char *EmulatorScript = R"(#!/bin/sh
n=$(ls shots | wc -l)
cp sample.bmp "shots/shot000$((n + 1)).bmp"
)";

class SnapshotRun : public ::testing::Test {
protected:
  SnapshotRun() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.mkdir("config")));
    QApplication::setQuitOnLastWindowClosed(false);
    // Time stands still and the cursor is elsewhere: no press repeats by itself.
    platform::setTickSource([] { return 7000u; });
    platform::setCursorSource([] { return QPoint(-500, -500); });
    emu = dir.mkdir("emu");
    dir.mkdir("emu/shots");
    dir.mkdir("snaps");
    QImage sample(8, 8, QImage::Format_RGB888);
    sample.fill(Qt::green);
    sample.save(emu + "/sample.bmp", "BMP");
    QFile script(emu + "/neorage");
    script.open(QIODevice::WriteOnly);
    script.write(EmulatorScript);
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    test::writeLines(defaultIniFilePath(),
                     {"[setup]", "neoloc_Text=" + emu + "/neorage",
                      "Snapsloc_Text=" + dir.file("snaps"), "romloc_Text=" + dir.mkdir("roms"),
                      "[main]", "FormShaper1_Tag=1"});
  }
  ~SnapshotRun() override {
    if (windows.frmMain) {
      windows.frmMain->close();
      destroyWindows(windows);
    }
    platform::setTickSource({});
    platform::setCursorSource({});
    qunsetenv("XDG_CONFIG_HOME");
    QDir::setCurrent(startFolder);
  }

  void zipGame(const QString &name) {
    test::TempDir stage;
    stage.write(name + ".p1", "rom");
    QProcess zip;
    zip.setWorkingDirectory(stage.path());
    zip.start("zip", QStringList{"-q", dir.file("roms/" + name + ".zip"), name + ".p1"});
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0);
  }
  void start() {
    windows = createWindows();
    main = windows.frmMain.get();
    main->ZipExtractor1->setDLLDirectory(qEnvironmentVariable("VANTOR_BIN_DIR"));
    main->show();
  }
  void click(QWidget *button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(45, 13)); }
  // Clicks usedel; the box, once up, is answered with one of its buttons.
  void deleteAnswering(TPicBtn *Tmessbox::*answer) {
    Tmessbox *box = windows.messbox.get();
    QTimer::singleShot(0, box, [this, box, answer] {
      boxPlace = box->geometry();
      click(box->*answer);
    });
    click(main->usedel);
  }
  SnapshotPreview &preview() { return main->snapshotPreview(); }
  bool exists(const QString &name) const { return QFileInfo::exists(dir.file(name)); }

  QString startFolder = QDir::currentPath();
  test::TempDir dir;
  QString emu;
  Windows windows;
  TfrmMain *main = nullptr;
  QRect boxPlace;
  QStringList messages;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { messages << m.text; }};
};

TEST_F(SnapshotRun, ANewScreenshotIsAdoptedAndTheSnapshotDeletedThroughTheBox) {
  zipGame("pacman");
  start();
  ASSERT_EQ(main->romName(), "pacman");
  ASSERT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);

  click(main->play);
  ASSERT_EQ(preview().shownFile(), dir.file("emu/shots/shot0001.bmp"));
  click(main->usedel);
  EXPECT_TRUE(exists("snaps/pacman.jpg"));
  EXPECT_FALSE(exists("emu/shots/shot0001.bmp"));
  EXPECT_EQ(main->shotdir->count(), 0);
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
  EXPECT_EQ(main->usedel->btnState(), 3);
  EXPECT_TRUE(main->snapback->isHidden());

  deleteAnswering(&Tmessbox::butno);
  EXPECT_TRUE(exists("snaps/pacman.jpg"));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);
  EXPECT_EQ(main->usedel->btnState(), 3);
  const QRect screen = windows.messbox->screen()->geometry();
  EXPECT_EQ(boxPlace, QRect(centredOn(screen, {258, 174}), QSize(258, 174)));

  deleteAnswering(&Tmessbox::butyes);
  EXPECT_FALSE(windows.messbox->isVisible());
  EXPECT_FALSE(exists("snaps/pacman.jpg"));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_EQ(main->usedel->btnState(), 1);
  EXPECT_FALSE(main->snapback->isHidden());
  EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

TEST_F(SnapshotRun, AfterAFailedLaunchTheSnapshotIsStillNamedAfterTheGame) {
  // Cut inside its second entry: reading it ends the launch with an error.
  test::TempDir stage;
  stage.write("a.rom", QByteArray(2000, 'a'));
  stage.write("b.rom", QByteArray(2000, 'b'));
  QProcess zip;
  zip.setWorkingDirectory(stage.path());
  zip.start("zip", QStringList{"-q", "-0", dir.file("roms/pacman.zip"), "a.rom", "b.rom"});
  ASSERT_TRUE(zip.waitForFinished());
  ASSERT_TRUE(QFile::resize(dir.file("roms/pacman.zip"), 2500));
  QImage(4, 4, QImage::Format_RGB888).save(dir.file("emu/shots/shot0001.bmp"), "BMP");
  start();
  click(main->play);
  ASSERT_EQ(messages.size(), 1); // the launch failed and said so
  ASSERT_EQ(main->romname->caption(), "Please Wait..Unzipping ROM..");
  click(main->snapfwd);
  click(main->usedel);
  EXPECT_EQ(messages.size(), 1);
  EXPECT_EQ(QDir(dir.file("snaps")).entryList(QDir::Files), QStringList{"pacman.jpg"});
}

} // namespace
} // namespace vantor
