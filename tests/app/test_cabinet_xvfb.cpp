// The cabinet's full screen on a real X server (run by xvfb-run on a screen
// of the size the test names), with either skin: the black backdrop, the skin
// at the whole-number scale centred on it and cut along its outline pixel for
// pixel, clicks on the scaled controls, the hidden pointer, no dragging, and
// the desktop places kept.
#include "app/cabinet.h"
#include "app/pointerhider.h"
#include "app/windows.h"
#include "controls/image.h"
#include "controls/picbtn.h"
#include "controls/rotarydial.h"
#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "settings/inifilename.h"
#include "settings/setupwindow.h"
#include "settings/windowplacement.h"
#include "skins/skins.h"
#include "support/modalanswer.h"
#include "support/scopedhook.h"
#include "xserverwindows.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kBlack = 0xFF000000;

// The scale each skin is expected at on each screen the tests run on.
struct ScreenCase {
  QSize screen;
  int small, big;
};
constexpr ScreenCase kScreens[] = {{{1024, 768}, 2, 1}, {{1920, 1080}, 3, 3}};

QImage wholeScreen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
      QImage::Format_RGB32);
}

class Cabinet : public test::XServerWindows, public ::testing::WithParamInterface<bool> {
protected:
  void SetUp() override {
    XServerWindows::SetUp();
    if (IsSkipped())
      return;
    for (const char *game : {"roms/aof.zip", "roms/kof98.zip", "roms/pulstar.zip"})
      dir.write(QString::fromLatin1(game));
    const QString ppi = QString::number(currentScreen().pixelsPerInch);
    dir.write(QStringLiteral("vantor.INI"),
              (QStringList{"[main]", "PixelsPerInch=" + ppi, mainPlace,
                           QStringLiteral("FormShaper1_Tag=%1").arg(big() ? 1 : 0), "[about]",
                           "PixelsPerInch=" + ppi, aboutPlace, "[setup]",
                           "romloc_Text=" + (withRomFolder() ? dir.file("roms") : QString())}
                   .join(u'\n') +
               u'\n')
                  .toUtf8());
    windows = createWindows();
    main = windows.frmMain.get();
    cabinet = std::make_unique<CabinetScreen>(
        *main, QList<TForm *>{windows.Frmsetup.get(), windows.frmabout.get()});
    cabinet->showOnPrimaryScreen();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cabinet.get()));
    skin = skins::image(big() ? QStringLiteral("backbig") : QStringLiteral("backsmall"))
               .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(main->size(), skin.size());
    // Until the server has the first frame, the grab shows what was there.
    const QPoint inside = onScreen(kInsideBoth);
    ASSERT_TRUE(QTest::qWaitFor([&] {
      screen = wholeScreen();
      return screen.pixel(inside) == skin.pixel(kInsideBoth);
    })) << "the skin never reached the X server";
  }
  void TearDown() override {
    cabinet.reset();
    XServerWindows::TearDown();
  }

  virtual bool withRomFolder() const { return true; }
  bool big() const { return GetParam(); }
  int expectedScale() const {
    for (const ScreenCase &c : kScreens)
      if (c.screen == QGuiApplication::primaryScreen()->size())
        return big() ? c.big : c.small;
    return 0;
  }
  // A skin pixel's top-left corner on the screen.
  QPoint onScreen(QPoint skinPixel) const {
    return cabinet->mapToGlobal(cabinet->skinOrigin() + skinPixel * cabinet->skinScale());
  }
  // The middle of a control on the screen, in the backdrop's coordinates.
  QPoint middleOf(const QWidget *control) const {
    const QPoint centre = control->geometry().center();
    return cabinet->skinOrigin() + centre * cabinet->skinScale();
  }

  // A point on the bare skin of both skins, away from every control.
  static constexpr QPoint kInsideBoth{30, 150};
  QString mainPlace = QStringLiteral("NormPos=700,500,710,510");
  QString aboutPlace = QStringLiteral("NormPos=20,30,40,50");
  TfrmMain *main = nullptr;
  std::unique_ptr<CabinetScreen> cabinet;
  QImage skin;
  QImage screen;
};

TEST_P(Cabinet, TheBackdropCoversTheScreenAndTheSkinIsCentredAtTheWholeScale) {
  ASSERT_NE(expectedScale(), 0) << "no expected scale for this screen size";
  const QRect whole = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(cabinet->geometry(), whole);
  EXPECT_EQ(cabinet->skinScale(), expectedScale());
  const QSize scaled = skin.size() * expectedScale();
  EXPECT_EQ(cabinet->skinOrigin(), centredOn(QRect(QPoint(), whole.size()), scaled));
  for (const QPoint corner : {QPoint(0, 0), QPoint(whole.width() - 1, whole.height() - 1)})
    EXPECT_EQ(screen.pixel(corner), kBlack) << corner.x() << "," << corner.y();
  // The scale follows the skin.
  main->previewCommand(main->preview);
  for (const ScreenCase &c : kScreens) {
    if (c.screen == whole.size()) {
      EXPECT_EQ(cabinet->skinScale(), big() ? c.small : c.big);
    }
  }
  EXPECT_EQ(cabinet->skinOrigin(),
            centredOn(QRect(QPoint(), whole.size()), main->size() * cabinet->skinScale()));
}

// Every pixel of the bare skin, the outline's corners included, is a block of
// scale x scale screen pixels of its own colour, or black outside the outline.
TEST_P(Cabinet, TheOutlineIsThePixelsOfTheSkinScaled) {
  const int n = cabinet->skinScale();
  int wrong = 0;
  for (int y = 0; y < skin.height(); ++y)
    for (int x = 0; x < skin.width(); ++x) {
      const QWidget *below = main->childAt(x, y);
      if (below && below != main->back)
        continue; // a control draws here
      const QRgb expected = skin.pixel(x, y) == kYellow ? kBlack : skin.pixel(x, y);
      const QPoint at = onScreen({x, y});
      for (int dy = 0; dy < n; ++dy)
        for (int dx = 0; dx < n; ++dx)
          if (screen.pixel(at + QPoint(dx, dy)) != expected && ++wrong <= 5)
            ADD_FAILURE() << "skin pixel " << x << "," << y << " block " << dx << "," << dy;
    }
  EXPECT_EQ(wrong, 0);
}

TEST_P(Cabinet, AClickOnAScaledButtonFiresIt) {
  QPoint pointer;
  const test::ScopedHook cursor(platform::setCursorSource, [&] { return pointer; });
  const auto click = [&](const QWidget *control) {
    const QPoint at = middleOf(control);
    pointer = cabinet->mapToGlobal(at);
    QTest::mouseClick(cabinet->viewport(), Qt::LeftButton, {}, at);
  };
  click(main->dirfoward);
  EXPECT_EQ(main->RotaryDial1->position(), 1);
  bool centred = false, above = false;
  test::ModalAnswer answer(windows.frmabout.get(), [&](QWidget *about) {
    centred = about->frameGeometry().center() == cabinet->geometry().center();
    above = about->windowHandle()->transientParent() == cabinet->windowHandle();
    about->hide();
  });
  click(main->about);
  EXPECT_EQ(answer.answers(), 1);
  EXPECT_TRUE(centred) << "the about window is not centred on the backdrop";
  EXPECT_TRUE(above) << "the about window is not kept above the backdrop";
}

TEST_P(Cabinet, TheKeysReachTheMainWindow) {
  QTest::keyClick(cabinet.get(), Qt::Key_End);
  EXPECT_EQ(main->RotaryDial1->position(), 2);
  QTest::keyClick(cabinet.get(), Qt::Key_Left);
  EXPECT_EQ(main->RotaryDial1->position(), 1);
}

TEST_P(Cabinet, ThePointerIsHiddenUntilTheMouseMovesAndAfterAnIdleWhile) {
  std::uint32_t now = 1000;
  const test::ScopedHook ticks(platform::setTickSource, [&] { return now; });
  PointerHider pointer;
  ASSERT_TRUE(pointer.hidden());
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
  QTest::mouseMove(cabinet->viewport(), middleOf(main->RotaryDial1) + QPoint(7, 3));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !pointer.hidden(); })) << "still hidden after a move";
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  now += PointerHider::kIdleHide - 1;
  pointer.hideIfIdle();
  EXPECT_FALSE(pointer.hidden());
  now += 1;
  pointer.hideIfIdle();
  EXPECT_TRUE(pointer.hidden());
}

TEST_P(Cabinet, DraggingTheSkinMovesNothing) {
  const QPoint from = cabinet->skinOrigin() + kInsideBoth * cabinet->skinScale();
  const QRect backdrop = cabinet->geometry();
  const QPoint origin = cabinet->skinOrigin();
  QTest::mousePress(cabinet->viewport(), Qt::LeftButton, {}, from);
  for (int step = 1; step <= 4; ++step)
    QTest::mouseMove(cabinet->viewport(), from + QPoint(20, 15) * step);
  QTest::mouseRelease(cabinet->viewport(), Qt::LeftButton, {}, from + QPoint(80, 60));
  EXPECT_EQ(cabinet->geometry(), backdrop);
  EXPECT_EQ(cabinet->skinOrigin(), origin);
}

// The skin choice is kept; the places the windows have on the desktop are not
// overwritten by where the cabinet put them.
TEST_P(Cabinet, TheDesktopPlacesSurviveTheSession) {
  test::ModalAnswer answer(windows.frmabout.get(), [](QWidget *about) { about->hide(); });
  main->aboutClick(main->about);
  main->previewCommand(main->preview);
  cabinet.reset();
  destroyWindows(windows);
  const platform::ProfileFile file(ini);
  EXPECT_EQ(file.readString("main", "NormPos", QString()).toStdString(),
            mainPlace.mid(8).toStdString());
  EXPECT_EQ(file.readString("about", "NormPos", QString()).toStdString(),
            aboutPlace.mid(8).toStdString());
  EXPECT_EQ(file.readInteger("main", "FormShaper1_Tag", -1), big() ? 0 : 1);
}

// Without a ROM folder the setup window opens at the start: in the middle of
// the backdrop, above it, with the skin already in its place.
class CabinetFirstStart : public Cabinet {
protected:
  bool withRomFolder() const override { return false; }
  void SetUp() override {
    answer = std::make_unique<test::ModalAnswer>(
        [this]() -> QWidget * {
          return windows.Frmsetup && windows.Frmsetup->isVisible() ? windows.Frmsetup.get()
                                                                   : nullptr;
        },
        [this](QWidget *setup) {
          centred = setup->frameGeometry().center() == cabinet->geometry().center();
          above = setup->windowHandle()->transientParent() == cabinet->windowHandle();
          skinPlaced = cabinet->skinScale() == expectedScale();
          setup->hide();
        });
    Cabinet::SetUp();
  }
  std::unique_ptr<test::ModalAnswer> answer;
  bool centred = false, above = false, skinPlaced = false;
};

TEST_P(CabinetFirstStart, TheSetupWindowComesUpOverTheBackdrop) {
  EXPECT_EQ(answer->answers(), 1);
  EXPECT_TRUE(centred);
  EXPECT_TRUE(above);
  EXPECT_TRUE(skinPlaced);
}

INSTANTIATE_TEST_SUITE_P(Skins, CabinetFirstStart, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "big" : "small"; });

INSTANTIATE_TEST_SUITE_P(Skins, Cabinet, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "big" : "small"; });

} // namespace
