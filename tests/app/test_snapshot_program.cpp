// A game's snapshot taken from a new screenshot and deleted again, through the
// program's own windows, against a stand-in emulator that leaves a screenshot.
#include "app/windows.h"
#include "archive/zipextractor.h"
#include "controls/picbtn.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "launcher/snapshotpreview.h"
#include "platform/clock.h"
#include "platform/usermessage.h"
#include "settings/formstorage_testing.h"
#include "settings/inifilename.h"
#include "support/modalanswer.h"
#include "support/tempdir.h"
#include "support/wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
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
    const test::ModalAnswer answered(box, [this, box, answer](QWidget *) { click(box->*answer); });
    click(main->usedel);
    EXPECT_EQ(answered.answers(), 1);
  }
  SnapshotPreview &preview() { return main->snapshotPreview(); }
  bool exists(const QString &name) const { return QFileInfo::exists(dir.file(name)); }

  QString startFolder = QDir::currentPath();
  test::TempDir dir;
  QString emu;
  Windows windows;
  TfrmMain *main = nullptr;
  QStringList messages;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { messages << m.text; }};
};

TEST_F(SnapshotRun, ANewScreenshotIsAdoptedAndTheSnapshotDeletedThroughTheBox) {
  zipGame("pacman");
  start();
  ASSERT_EQ(main->romName(), "pacman");
  ASSERT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);

  click(main->play);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main->playing(); }));
  ASSERT_EQ(preview().shownFile(), dir.file("emu/shots/shot0001.bmp"))
      << messages.join('|').toStdString();
  click(main->usedel);
  EXPECT_TRUE(exists("snaps/pacman.jpg"));
  EXPECT_FALSE(exists("emu/shots/shot0001.bmp"));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::DeleteMode);

  deleteAnswering(&Tmessbox::butyes);
  EXPECT_FALSE(windows.messbox->isVisible());
  EXPECT_FALSE(exists("snaps/pacman.jpg"));
  EXPECT_EQ(preview().buttonMode(), SnapshotPreview::AdoptMode);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

} // namespace
} // namespace vantor
