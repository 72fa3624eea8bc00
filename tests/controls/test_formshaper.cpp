#include "controls/form.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "platform/clock.h"
#include "platform/usermessage.h"
#include "skins/skins.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vantor;

namespace {

constexpr QRgb M = 0xFFFFFF00; // yellow, the mask colour below
constexpr QRgb O = 0xFF203040; // any other colour

QImage pictureOf(int w, int h, std::initializer_list<QRgb> pixels) {
  QImage image(w, h, QImage::Format_RGB888);
  auto it = pixels.begin();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, *it++);
  return image;
}

// A w x h picture, mask colour outside a centred rectangle inset by `inset`.
QImage framedPicture(int w, int h, int inset) {
  QImage image(w, h, QImage::Format_RGB888);
  image.fill(M);
  for (int y = inset; y < h - inset; ++y)
    for (int x = inset; x < w - inset; ++x)
      image.setPixel(x, y, O);
  return image;
}

bool sameArea(const QRegion &a, const QRegion &b) {
  return (a ^ b).isEmpty();
}

QRegion rects(std::initializer_list<QRect> list) {
  QRegion r;
  for (const QRect &rect : list)
    r += rect;
  return r;
}

} // namespace

struct RegionCase {
  const char *name;
  QImage picture;
  TColor mask;
  QRegion expected;
};

class OutlineRegion : public ::testing::TestWithParam<RegionCase> {};

TEST_P(OutlineRegion, IsTheUnionOfNonMaskRuns) {
  const RegionCase &c = GetParam();
  EXPECT_TRUE(sameArea(maskRegion(c.picture, c.mask), c.expected));
  // The shaper builds the same outline for its form.
  TForm form;
  TFormShaper shaper(&form);
  shaper.maskedPicture()->setMaskColor(c.mask);
  shaper.maskedPicture()->setPicture(c.picture);
  ASSERT_TRUE(shaper.region().has_value());
  EXPECT_TRUE(sameArea(*shaper.region(), c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, OutlineRegion,
    ::testing::Values(
        RegionCase{"leading_mask", pictureOf(3, 1, {M, O, O}), clYellow, QRegion(1, 0, 2, 1)},
        RegionCase{"last_column", pictureOf(4, 2, {M, M, M, O, O, M, M, O}), clYellow,
                   rects({{3, 0, 1, 1}, {0, 1, 1, 1}, {3, 1, 1, 1}})},
        RegionCase{"alternating", pictureOf(6, 1, {O, M, O, M, O, M}), clYellow,
                   rects({{0, 0, 1, 1}, {2, 0, 1, 1}, {4, 0, 1, 1}})},
        RegionCase{"all_mask", pictureOf(2, 2, {M, M, M, M}), clYellow, QRegion()},
        RegionCase{"system_colour_mask", pictureOf(2, 2, {M, M, M, M}), clSystemColor | 0x0000FFFF,
                   QRegion(0, 0, 2, 2)},
        RegionCase{"equal_rows_merge", framedPicture(10, 8, 2), clYellow, QRegion(2, 2, 6, 4)}),
    [](const auto &info) { return std::string(info.param.name); });

class ShaperFixture : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setCursorSource([this] { return cursor; });
    form = std::make_unique<TForm>();
    shaper = new TFormShaper(form.get());
    shaper->setShowCaption(false);
  }
  void TearDown() override {
    form.reset();
    platform::setCursorSource({});
  }
  bool maskIs(const QRegion &r) const { return sameArea(form->mask(), r); }

  QPoint cursor;
  std::unique_ptr<TForm> form;
  TFormShaper *shaper = nullptr;
};

TEST_F(ShaperFixture, FirstShowAppliesTheOutlineEvenWhenInactive) {
  shaper->maskedPicture()->setMaskColor(clYellow);
  shaper->maskedPicture()->setPicture(framedPicture(40, 30, 5));
  EXPECT_FALSE(shaper->active());
  EXPECT_TRUE(form->mask().isEmpty());
  form->show();
  EXPECT_TRUE(shaper->active());
  EXPECT_TRUE(maskIs(QRegion(5, 5, 30, 20)));
  shaper->setActive(false);
  EXPECT_TRUE(form->mask().isEmpty());
  form->hide();
  form->show();
  EXPECT_FALSE(shaper->active());
  EXPECT_TRUE(form->mask().isEmpty());
}

TEST_F(ShaperFixture, ActiveBeforeShowAppliesAtOnceAndAllMaskStaysRectangular) {
  shaper->maskedPicture()->setMaskColor(clYellow);
  shaper->maskedPicture()->setPicture(framedPicture(40, 30, 5));
  shaper->setActive(true);
  EXPECT_TRUE(maskIs(QRegion(5, 5, 30, 20)));
  shaper->maskedPicture()->setPicture(framedPicture(40, 30, 20)); // nothing left
  EXPECT_FALSE(shaper->active());
  EXPECT_TRUE(form->mask().isEmpty());
}

TEST_F(ShaperFixture, NewPictureResizesFormAndBackgroundAndReappliesOutline) {
  auto *label = new QLabel(QStringLiteral("x"), form.get());
  auto *back = new TImage(form.get());
  shaper->maskedPicture()->setMaskColor(clYellow);
  shaper->maskedPicture()->setPicture(framedPicture(40, 30, 5));
  shaper->setActive(true);
  shaper->setBackgrnd(back);
  EXPECT_EQ(form->size(), QSize(40, 30));
  EXPECT_EQ(back->geometry(), QRect(0, 0, 40, 30));
  EXPECT_LT(form->children().indexOf(back), form->children().indexOf(label)); // lowered

  int notified = 0;
  auto previous = shaper->maskedPicture()->OnChange;
  shaper->maskedPicture()->OnChange = [&](QObject *s) {
    ++notified;
    previous(s);
  };
  shaper->maskedPicture()->setMaskColor(clYellow); // unchanged: nothing happens
  EXPECT_EQ(notified, 0);

  shaper->maskedPicture()->setPicture(framedPicture(60, 50, 10));
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(form->size(), QSize(60, 50));
  EXPECT_EQ(back->size(), QSize(60, 50));
  EXPECT_EQ(back->picture(), transparentOutside(shaper->maskedPicture()->picture(), clYellow));
  EXPECT_TRUE(shaper->active());
  EXPECT_TRUE(maskIs(QRegion(10, 10, 40, 30)));

  // The background going away removes the outline and the link.
  delete back;
  EXPECT_EQ(shaper->backgrnd(), nullptr);
  EXPECT_FALSE(shaper->active());
  EXPECT_TRUE(form->mask().isEmpty());
}

TEST_F(ShaperFixture, FixedSizeFormTakesThePictureSize) {
  form->setFixedSize(316, 340);
  shaper->maskedPicture()->setPicture(framedPicture(55, 34, 1));
  EXPECT_EQ(form->size(), QSize(55, 34));
}

TEST_F(ShaperFixture, ShowCaptionTrueResetsWindowMove) {
  shaper->setWindowMove(TFormShaper::FullMove);
  shaper->setShowCaption(false);
  EXPECT_EQ(shaper->windowMove(), TFormShaper::FullMove);
  shaper->setShowCaption(true);
  EXPECT_EQ(shaper->windowMove(), TFormShaper::NoMove);
  EXPECT_FALSE(form->windowFlags() & Qt::FramelessWindowHint);
}

struct DragCase {
  const char *name;
  bool onLabel;
  Qt::KeyboardModifiers modifiers;
  TFormShaper::TMoveOption option;
  bool moves;
};

class ShaperDrag : public ShaperFixture, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ShaperDrag, FullMoveDragsByTheBackgroundOnly) {
  auto *back = new TImage(form.get());
  shaper->maskedPicture()->setPicture(framedPicture(100, 80, 0));
  shaper->setBackgrnd(back);
  auto *label = new QLabel(QStringLiteral("label"), form.get());
  label->setGeometry(50, 50, 40, 20);
  shaper->setWindowMove(GetParam().option);
  form->move(300, 200);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  const QPoint start = form->pos();

  QWidget *target = GetParam().onLabel ? static_cast<QWidget *>(label) : back;
  const QPoint local = GetParam().onLabel ? QPoint(5, 5) : QPoint(10, 10);
  cursor = target->mapToGlobal(local);
  QTest::mousePress(target, Qt::LeftButton, {}, local);
  cursor += QPoint(30, 20);
  QMouseEvent move(QEvent::MouseMove, local + QPoint(30, 20), cursor, Qt::NoButton, Qt::LeftButton,
                   GetParam().modifiers);
  QApplication::sendEvent(target, &move);
  QTest::mouseRelease(target, Qt::LeftButton, {}, local + QPoint(30, 20));
  EXPECT_EQ(form->pos() - start, GetParam().moves ? QPoint(30, 20) : QPoint(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShaperDrag,
    ::testing::Values(DragCase{"background", false, Qt::NoModifier, TFormShaper::FullMove, true},
                      DragCase{"label", true, Qt::NoModifier, TFormShaper::FullMove, false},
                      DragCase{"shift", false, Qt::ShiftModifier, TFormShaper::FullMove, false},
                      DragCase{"nomove", false, Qt::NoModifier, TFormShaper::NoMove, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FormShaperOwner, NotAFormShowsFatalErrorAndStaysPassive) {
  QString title, text;
  const ScopedMessagePresenter presenter([&](const UserMessage &m) {
    title = m.title;
    text = m.text;
  });
  QWidget notAForm;
  TFormShaper shaper(&notAForm);
  EXPECT_EQ(title, "Fatal Error");
  EXPECT_EQ(text, "Owner of FormShaper is not a TForm");
  EXPECT_EQ(shaper.form(), nullptr);
  shaper.maskedPicture()->setPicture(framedPicture(10, 10, 2));
  EXPECT_FALSE(shaper.region().has_value());
  shaper.setActive(true);
  EXPECT_FALSE(shaper.active());
}

TEST(SkinOutline, ContainsExactlyTheNonYellowPixelsOfBothSkins) {
  for (const char *name : {"backsmall", "backbig"}) {
    const QImage skin = skins::image(QString::fromLatin1(name));
    ASSERT_FALSE(skin.isNull()) << name;
    const QRegion outline = maskRegion(skin, clYellow);
    int mismatches = 0;
    for (int y = 0; y < skin.height(); ++y)
      for (int x = 0; x < skin.width(); ++x)
        mismatches += outline.contains(QPoint(x, y)) == (skin.pixel(x, y) == qRgb(255, 255, 0));
    EXPECT_EQ(mismatches, 0) << name;
    EXPECT_LT(outline.rectCount(), skin.height() * 4) << name; // equal rows share one band
  }
}

// What a compositor gets of a shaped window: the skin, and fully transparent
// pixels wherever the skin has the mask colour; without a background picture
// the form stays opaque.
TEST(ComposedWindow, IsTransparentExactlyWhereTheSkinHasTheMaskColour) {
  for (const char *name : {"backsmall", "backbig", "messbox"}) {
    const QImage skin =
        skins::image(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
    const bool white = QLatin1String(name) == QLatin1String("messbox");
    const TColor mask = white ? clWhite : clYellow;
    const QRgb maskRgb = white ? qRgb(255, 255, 255) : qRgb(255, 255, 0);
    TForm form;
    auto *back = new TImage(&form);
    auto *shaper = new TFormShaper(&form);
    shaper->maskedPicture()->setMaskColor(mask);
    shaper->setShowCaption(false);
    shaper->setBackgrnd(back);
    shaper->maskedPicture()->setPicture(skin);
    form.show();
    ASSERT_TRUE(form.testAttribute(Qt::WA_TranslucentBackground)) << name;
    const QImage composed = form.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(composed.size(), skin.size()) << name;
    int outsideShown = 0, insideWrong = 0, outside = 0;
    for (int y = 0; y < skin.height(); ++y)
      for (int x = 0; x < skin.width(); ++x) {
        if (skin.pixel(x, y) == maskRgb) {
          ++outside;
          outsideShown += qAlpha(composed.pixel(x, y)) != 0;
        } else {
          insideWrong += composed.pixel(x, y) != skin.pixel(x, y);
        }
      }
    EXPECT_GT(outside, 0) << name;
    EXPECT_EQ(outsideShown, 0) << name;
    EXPECT_EQ(insideWrong, 0) << name;
    EXPECT_EQ(qAlpha(composed.pixel(0, 0)), 0) << name; // the corners are cut
  }
}

struct CutCase {
  const char *name;
  QImage picture;
  TColor mask;
  std::vector<int> alphas;
};

class Cut : public ::testing::TestWithParam<CutCase> {};

TEST_P(Cut, MakesOnlyTheMaskColourTransparent) {
  const QImage cut = transparentOutside(GetParam().picture, GetParam().mask);
  std::vector<int> alphas;
  for (int x = 0; x < cut.width(); ++x)
    alphas.push_back(qAlpha(cut.pixel(x, 0)));
  EXPECT_EQ(alphas, GetParam().alphas);
}

QImage indexed() {
  QImage image(3, 1, QImage::Format_Indexed8);
  image.setColorTable({qRgb(255, 255, 0), qRgb(1, 2, 3)});
  image.setPixel(0, 0, 1);
  image.setPixel(1, 0, 0);
  image.setPixel(2, 0, 1);
  return image;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cut,
    ::testing::Values(
        CutCase{"rgb", pictureOf(3, 1, {M, O, M}), clYellow, {0, 255, 0}},
        CutCase{"throughThePalette", indexed(), clYellow, {255, 0, 255}},
        CutCase{"nearlyTheMaskStays", pictureOf(2, 1, {0xFFFFFE00, M}), clYellow, {255, 0}},
        CutCase{"systemColourMatchesNothing", pictureOf(2, 1, {M, O}), clBtnFace, {255, 255}}),
    [](const auto &info) { return std::string(info.param.name); });
