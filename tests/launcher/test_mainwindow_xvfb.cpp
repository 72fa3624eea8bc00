// The main window with its skins on a real X server (run by xvfb-run).
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/picbtn.h"
#include "launcher/mainwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

constexpr QRgb Yellow = 0xFFFFFF00;

bool windowAt(QWidget *form, QPoint local) {
  QWidget *hit = QApplication::widgetAt(form->mapToGlobal(local));
  return hit != nullptr && hit->window() == form;
}

} // namespace

TEST(MainWindowOnScreen, BothSkinsCutTheWindowAlongTheirYellow) {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    GTEST_SKIP() << "needs a real X server";
  TfrmMain form;
  form.move(30, 30);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.size(), QSize(316, 340));
  EXPECT_TRUE(form.FormShaper1->active());

  const QImage small = form.backsmall->picture();
  for (QPoint p : {QPoint(1, 1), QPoint(314, 338), QPoint(160, 148), QPoint(100, 315)}) {
    EXPECT_EQ(windowAt(&form, p), small.pixel(p) != Yellow) << p.x() << "," << p.y();
  }
  // The step buttons sit on the skin, their corners showing it.
  const QImage corner = form.dirback->compositeImage();
  EXPECT_EQ(corner.pixel(0, 0), small.pixel(58, 207));

  form.FormShaper1->maskedPicture()->setPicture(form.backbig->picture());
  const QImage big = form.backbig->picture();
  // The new outline has reached the server once the right of the big skin is the window's.
  ASSERT_NE(big.pixel(412, 132), Yellow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return windowAt(&form, QPoint(412, 132)); }))
      << "the big skin's outline never reached the X server";
  EXPECT_EQ(form.size(), QSize(550, 340));
  for (QPoint p : {QPoint(548, 338), QPoint(400, 330), QPoint(412, 132), QPoint(330, 240)}) {
    EXPECT_EQ(windowAt(&form, p), big.pixel(p) != Yellow) << p.x() << "," << p.y();
  }
  if (const QByteArray path = qgetenv("VANTOR_SCREENSHOT"); !path.isEmpty())
    form.grab().save(QString::fromLocal8Bit(path));
}
