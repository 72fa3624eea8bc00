// Where the program's windows come up on a real X server (run by xvfb-run on
// a screen of the size the test names) at the scale QT_SCALE_FACTOR gives:
// wholly on the screen at the first start and from stored places alike.
#include "app/windows.h"
#include "controls/formshaper.h"
#include "controls/picbtn.h"
#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "settings/inifilename.h"
#include "settings/setupwindow.h"
#include "settings/windowplacement.h"
#include "xserverwindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace vantor;

namespace {

std::string text(const QRect &r) {
  std::ostringstream s;
  s << r.width() << "x" << r.height() << " at " << r.x() << "," << r.y();
  return s.str();
}

class Placement : public test::XServerWindows {
protected:
  void SetUp() override {
    XServerWindows::SetUp();
    if (IsSkipped())
      return;
    dir.write(QStringLiteral("roms/pacman.zip"));
    // Whenever a window is up modally, it is checked and closed again.
    QObject::connect(&modalWatch, &QTimer::timeout, [this] {
      if (checking)
        return; // the wait for the window runs this timer too
      checking = true;
      for (TForm *form : {static_cast<TForm *>(windows.Frmsetup.get()),
                          static_cast<TForm *>(windows.frmabout.get()),
                          static_cast<TForm *>(windows.messbox.get())})
        if (form && form->isShowingModal() && form->isVisible()) {
          expectOnScreen(form);
          form->hide();
        }
      checking = false;
    });
    modalWatch.start(5);
  }
  void TearDown() override {
    modalWatch.stop();
    XServerWindows::TearDown();
  }

  void writeSettings(const QStringList &lines) {
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines.join(u'\n').toUtf8() + "\n");
  }
  // NormPos lines for a window stored at `at`, at this screen's pixels per inch.
  static QStringList storedAt(const char *section, QPoint at) {
    const QString pos =
        QStringLiteral("%1,%2,%3,%4").arg(at.x()).arg(at.y()).arg(at.x() + 10).arg(at.y() + 10);
    return {QStringLiteral("[%1]").arg(QLatin1String(section)),
            QStringLiteral("PixelsPerInch=%1").arg(currentScreen().pixelsPerInch),
            QStringLiteral("NormPos=") + pos};
  }

  // On the server: the window has come up and lies wholly on the screen; a
  // window bigger than the screen shows its top-left corner.
  void expectOnScreen(QWidget *window) {
    const std::string name = window->objectName().toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
    const QRect screen = window->screen()->availableGeometry();
    const QRect frame = window->windowHandle()->frameGeometry();
    ++checked;
    if (frame.width() <= screen.width() && frame.height() <= screen.height()) {
      EXPECT_TRUE(screen.contains(frame)) << name << ": " << text(frame) << " on " << text(screen);
      return;
    }
    // Only the big skin is wider than a 1024 x 768 screen at scale 2.
    EXPECT_EQ(frame.x(), screen.x()) << name << ": " << text(frame) << " on " << text(screen);
    EXPECT_GE(frame.y(), screen.y()) << name;
    EXPECT_LE(frame.bottom(), screen.bottom()) << name;
  }

  // Starts as main() does; the setup window opens by itself when the ROM
  // folder is missing. Then the about window and the confirmation box.
  void runAndCheckEveryWindow() {
    windows = createWindows();
    windows.frmMain->show();
    expectOnScreen(windows.frmMain.get());
    windows.frmMain->aboutClick(windows.frmMain->about);
    windows.frmMain->SetupClick(windows.frmMain->setup);
    windows.messbox->ask();
    EXPECT_EQ(checked, 4 + extraSetupShowings);
  }

  QTimer modalWatch;
  int checked = 0;
  int extraSetupShowings = 0;
  bool checking = false;
};

TEST_F(Placement, FirstStartWithTheSmallSkin) {
  extraSetupShowings = 1; // no ROM folder yet
  runAndCheckEveryWindow();
}

TEST_F(Placement, FirstStartWithTheBigSkin) {
  writeSettings({QStringLiteral("[main]"), QStringLiteral("FormShaper1_Tag=1"),
                 QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + dir.file("roms")});
  runAndCheckEveryWindow();
  EXPECT_TRUE(windows.frmMain->bigSkinShown());
}

// Places stored on a bigger screen, or at a smaller scale.
TEST_F(Placement, RestoredPlacesBeyondTheScreen) {
  QStringList lines = storedAt("main", {700, 500});
  lines << QStringLiteral("FormShaper1_Tag=1");
  lines << storedAt("setup", {900, 650}) << QStringLiteral("romloc_Text=") + dir.file("roms");
  lines << storedAt("about", {1200, 1000});
  writeSettings(lines);
  runAndCheckEveryWindow();
}

} // namespace
