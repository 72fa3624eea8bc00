// Runs against a real X server (xvfb-run); elsewhere it skips.
#include "controls/form.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "skins/skins.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;

TEST(ShapedWindowOnScreen, YellowOfTheBigSkinIsNotPartOfTheWindow) {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    GTEST_SKIP() << "needs a real X server";
  const QImage skin = skins::image(QStringLiteral("backbig"));
  ASSERT_EQ(skin.size(), QSize(550, 340));

  TForm form;
  auto *back = new TImage(&form);
  auto *shaper = new TFormShaper(&form);
  shaper->maskedPicture()->setMaskColor(clYellow);
  shaper->setShowCaption(false);
  shaper->setActive(false);
  shaper->setBackgrnd(back);
  shaper->maskedPicture()->setPicture(skin);
  form.move(40, 30);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_TRUE(shaper->active());
  EXPECT_EQ(form.size(), QSize(550, 340));

  struct Probe {
    QPoint at;
    bool inside;
  };
  // Corners and the notch below the preview pod are yellow; the dial well,
  // the marquee and the preview screen are not.
  for (const Probe &p :
       {Probe{{1, 1}, false}, Probe{{548, 338}, false}, Probe{{400, 330}, false},
        Probe{{160, 148}, true}, Probe{{158, 30}, true}, Probe{{412, 132}, true}}) {
    ASSERT_EQ(skin.pixel(p.at) == qRgb(255, 255, 0), !p.inside) << p.at.x() << "," << p.at.y();
    // Ask the X server which window lies under the point.
    QWidget *hit = QApplication::widgetAt(form.mapToGlobal(p.at));
    EXPECT_EQ(hit != nullptr && hit->window() == &form, p.inside) << p.at.x() << "," << p.at.y();
  }
}
