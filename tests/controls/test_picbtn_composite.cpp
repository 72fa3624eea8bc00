#include "picbtn_fixture.h"

#include "controls/image.h"
#include "controls/picbtncomposite.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace vantor;
using vantor::test::PicBtnFixture;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// Three 26-row frames, the left 10 columns white (see-through) in every
// frame, frame n otherwise filled with a colour of its own.
QImage maskedStrip(QImage::Format format = QImage::Format_RGB888) {
  QImage image(26, 78, QImage::Format_RGB888);
  for (int y = 0; y < 78; ++y)
    for (int x = 0; x < 26; ++x)
      image.setPixel(x, y, x < 10 ? kWhite : qRgb(40 * (y / 26 + 1), 20, 200));
  return image.convertToFormat(format);
}

// Every pixel says where it is: red = x, green = y.
QImage coordinateImage(int w, int h) {
  QImage image(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb(x, y, 7));
  return image;
}

} // namespace

TEST_F(PicBtnFixture, SeeThroughPixelsShowTheSameImageStripInEveryFrame) {
  auto *back = new TImage(form.get());
  back->setGeometry(10, 20, 150, 150);
  back->setPicture(coordinateImage(150, 150));
  back->lower();
  button->move(30, 40);
  button->setMasked(true);
  button->maskedPicture()->setMaskColor(clWhite);
  button->maskedPicture()->setPicture(maskedStrip());
  button->setNumStates(3);

  const QImage composite = button->compositeImage();
  ASSERT_EQ(composite.size(), QSize(26, 78));
  EXPECT_EQ(composite.format(), QImage::Format_RGB888);
  for (int y = 0; y < 78; ++y) {
    const int row = y % 26;
    // Image pixel behind button pixel (x, row): (30 + x - 10, 40 + row - 20).
    EXPECT_EQ(composite.pixel(3, y), qRgb(23, 20 + row, 7)) << y;
    EXPECT_EQ(composite.pixel(20, y), qRgb(40 * (y / 26 + 1), 20, 200)) << y;
  }
  // A new picture in the image behind follows into the composite.
  back->setPicture(coordinateImage(150, 150).mirrored(true, false));
  EXPECT_EQ(button->compositeImage().pixel(3, 0), qRgb(150 - 1 - 23, 20, 7));
}

struct BackdropCase {
  const char *name;
  bool overLabel; // a lightweight non-image control lies under the button
  bool inFrame;   // the parent is a child panel rather than the form
  QRgb expected;
};

class PicBtnBackdrop : public PicBtnFixture, public ::testing::WithParamInterface<BackdropCase> {};

TEST_P(PicBtnBackdrop, ColourSourceWithoutAnImage) {
  QPalette pal = form->palette();
  pal.setColor(QPalette::Window, QColor(10, 20, 30));
  form->setPalette(pal);
  QWidget *parent = form.get();
  if (GetParam().inFrame) {
    parent = new QWidget(form.get()); // neither a form nor a panel
    parent->setGeometry(0, 0, 200, 200);
  }
  if (GetParam().overLabel)
    (new QLabel(QStringLiteral("x"), parent))->setGeometry(0, 0, 100, 100);
  button->setParent(parent);
  button->move(30, 40);
  button->setMasked(true);
  button->maskedPicture()->setMaskColor(clWhite);
  button->maskedPicture()->setPicture(maskedStrip());
  EXPECT_EQ(button->compositeImage().pixel(0, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sources, PicBtnBackdrop,
                         ::testing::Values(BackdropCase{"form", false, false, qRgb(10, 20, 30)},
                                           BackdropCase{"label", true, false, qRgb(10, 20, 30)},
                                           BackdropCase{"plain", false, true, qRgb(192, 192, 192)}),
                         [](const auto &info) { return std::string(info.param.name); });

struct FormatCase {
  const char *name;
  QImage::Format picture;
  QImage::Format composite;
};

class PicBtnFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PicBtnFormat, KeepsThePixelFormat) {
  QImage picture = maskedStrip(GetParam().picture);
  if (GetParam().picture == QImage::Format_Indexed8)
    picture = maskedStrip().convertToFormat(
        QImage::Format_Indexed8,
        {kWhite, qRgb(40, 20, 200), qRgb(80, 20, 200), qRgb(120, 20, 200), qRgb(0, 250, 0)});
  const Backdrop backdrop{QImage(), {}, 0x00F00A}; // green-ish: nearest palette entry (0,250,0)
  const QImage out = composeButtonImage(picture, true, clWhite, backdrop, {0, 0}, 26);
  ASSERT_EQ(out.format(), GetParam().composite);
  EXPECT_EQ(out.pixel(20, 30), picture.pixel(20, 30));
  const QRgb behind = out.pixel(2, 2);
  switch (GetParam().composite) {
  case QImage::Format_Indexed8:
    EXPECT_EQ(out.colorTable(), picture.colorTable());
    EXPECT_EQ(behind, qRgb(0, 250, 0));
    break;
  case QImage::Format_RGB555:
    EXPECT_EQ(behind, qRgb(8, 247, 0)); // 5-bit channels, expanded on reading
    break;
  default:
    EXPECT_EQ(behind, qRgb(0x0A, 0xF0, 0x00));
  }
  // Unmasked, the mask colour is just a colour.
  const QImage plain = composeButtonImage(picture, false, clWhite, backdrop, {0, 0}, 26);
  EXPECT_EQ(plain.pixel(2, 2), kWhite);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PicBtnFormat,
    ::testing::Values(FormatCase{"indexed8", QImage::Format_Indexed8, QImage::Format_Indexed8},
                      FormatCase{"rgb555", QImage::Format_RGB555, QImage::Format_RGB555},
                      FormatCase{"rgb888", QImage::Format_RGB888, QImage::Format_RGB888},
                      FormatCase{"rgb32", QImage::Format_RGB32, QImage::Format_RGB888}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PicBtnFixture, PressOnASeeThroughPixelOfFrameOneGoesNowhere) {
  auto *back = new TImage(form.get());
  back->setGeometry(0, 0, 200, 200);
  back->setPicture(coordinateImage(200, 200));
  int backPresses = 0;
  back->OnMouseDown = [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    ++backPresses;
  };
  back->lower();
  QImage strip = maskedStrip();
  for (int y = 26; y < 52; ++y) // frame 2 is solid: hit testing still follows frame 1
    for (int x = 0; x < 10; ++x)
      strip.setPixel(x, y, qRgb(1, 2, 3));
  button->setMasked(true);
  button->maskedPicture()->setMaskColor(clWhite);
  button->maskedPicture()->setPicture(strip);
  button->setNumStates(3);
  button->setsDown(2);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

  struct Row {
    int btnState;
    QPoint at;
    bool reachesButton;
  };
  for (const Row &r : {Row{1, {3, 5}, false}, Row{2, {3, 5}, false}, Row{1, {15, 5}, true},
                       Row{2, {15, 5}, true}}) {
    button->setBtnState(r.btnState);
    const int before = commands, backBefore = backPresses;
    const QPoint at = button->mapTo(form.get(), r.at);
    cursor = button->mapToGlobal(r.at);
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(commands - before, r.reachesButton ? 1 : 0) << r.btnState << " " << r.at.x();
    // Nor does it reach what lies behind.
    EXPECT_EQ(backPresses, backBefore) << r.btnState << " " << r.at.x();
  }
  // The cursor-over test agrees with the press area.
  cursor = button->mapToGlobal(QPoint(3, 5));
  EXPECT_FALSE(button->cursorOver());
  cursor = button->mapToGlobal(QPoint(15, 5));
  EXPECT_TRUE(button->cursorOver());
  cursor = button->mapToGlobal(QPoint(26, 5)); // right edge excluded
  EXPECT_FALSE(button->cursorOver());
  button->setMasked(false);
  cursor = button->mapToGlobal(QPoint(3, 5));
  EXPECT_TRUE(button->cursorOver());
}
