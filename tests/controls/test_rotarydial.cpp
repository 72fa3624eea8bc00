#include "controls/rotarydial.h"
#include "platform/sound.h"

#include <QKeyEvent>
#include <QMetaProperty>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

using vantor::TRotaryDial;
namespace platform = vantor::platform;

namespace {

// A 177-pixel dial as the launcher has it: centre 88, grab ring radii 41..61.
class RotaryDialTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setSoundService([this](const platform::SoundRequest &request) {
      sounds.push_back(request);
      events.push_back("sound");
      return true;
    });
    dial.resize(177, 177);
    dial.OnChange = [this](QObject *sender) {
      EXPECT_EQ(sender, &dial);
      events.push_back("change " + std::to_string(dial.position()));
    };
  }
  void TearDown() override { platform::setSoundService({}); }

  int changes() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const std::string &e) { return e != "sound"; }));
  }

  // A pixel whose true polar angle lies strictly inside [from, to) degrees,
  // at a radius in the grab ring unless told otherwise.
  QPoint pixelAt(double from, double to, int minRadius = 45, int maxRadius = 57) const {
    for (int y = 0; y < 177; ++y)
      for (int x = 0; x < 177; ++x) {
        const double dx = x - 88, dy = 88 - y;
        const double radius = std::hypot(dx, dy);
        if (radius < minRadius || radius > maxRadius)
          continue;
        double degrees = std::atan2(dy, dx) * 180 / std::numbers::pi;
        if (degrees < from - 180)
          degrees += 360;
        if (degrees >= from + 0.05 && degrees < to - 0.05)
          return {x, y};
      }
    ADD_FAILURE() << "no pixel at " << from;
    return {};
  }

  void press(QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&dial, button, {}, point);
  }
  void moveTo(QPoint point) {
    QMouseEvent move(QEvent::MouseMove, point, dial.mapToGlobal(point), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dial, &move);
  }

  TRotaryDial dial;
  std::vector<platform::SoundRequest> sounds;
  std::vector<std::string> events;
};

TEST_F(RotaryDialTest, PublishesItsPropertiesByNameInOrder) {
  const QMetaObject *meta = dial.metaObject();
  QStringList names;
  for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
    names << QString::fromLatin1(meta->property(i).name());
  EXPECT_EQ(names,
            QStringList({"Max", "Position", "PrintValues", "SoundType", "SoundChange",
                         "ResourceType", "WaveOptions", "DrawFocused", "DrawTicks", "Color"}));
  TRotaryDial fresh;
  EXPECT_EQ(fresh.property("Max").toInt(), 10);
  EXPECT_EQ(fresh.property("WaveOptions").toInt(), 11);
  EXPECT_EQ(fresh.soundType(), TRotaryDial::wssWav);
  EXPECT_EQ(fresh.size(), QSize(150, 150));
  EXPECT_TRUE(fresh.setProperty("Position", 7));
  EXPECT_EQ(fresh.position(), 7);
}

struct PositionRow {
  int start;
  int value;
  int expected;
  bool fires;
  bool sounds;
};

class PositionTable : public RotaryDialTest, public ::testing::WithParamInterface<PositionRow> {};

TEST_P(PositionTable, ClampsThenFiresOnlyOnARealChange) {
  const PositionRow row = GetParam();
  dial.OnChange = nullptr;
  dial.setPosition(row.start);
  sounds.clear();
  events.clear();
  dial.OnChange = [this](QObject *) { events.push_back("change"); };
  dial.setPosition(row.value);
  EXPECT_EQ(dial.position(), row.expected);
  EXPECT_EQ(changes(), row.fires ? 1 : 0);
  EXPECT_EQ(sounds.size(), row.sounds ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PositionTable,
    ::testing::Values(PositionRow{0, 0, 0, false, false}, PositionRow{0, 5, 5, true, true},
                      PositionRow{10, 15, 10, false, true}, PositionRow{0, -3, 0, false, true},
                      PositionRow{3, -3, 0, true, true}, PositionRow{3, 12, 10, true, true}));

TEST_F(RotaryDialTest, ChangeFiresAfterThePointerMovedAndBeforeTheSound) {
  dial.OnChange = [this](QObject *) {
    // The pointer has been redrawn for the new position already.
    EXPECT_EQ(dial.pointerAngles().p1, 238 - 27 * dial.position());
    events.push_back("change");
  };
  dial.setPosition(4);
  EXPECT_EQ(events, std::vector<std::string>({"change", "sound"}));
}

TEST_F(RotaryDialTest, UnassignedChangeAndSilentDialStillMove) {
  dial.OnChange = nullptr;
  dial.setSoundType(TRotaryDial::wssNone);
  dial.setPosition(6);
  EXPECT_EQ(dial.position(), 6);
  EXPECT_TRUE(events.empty());
}

struct FlagRow {
  TRotaryDial::TWaveOptions options;
  unsigned flags;
};

TEST_F(RotaryDialTest, WaveOptionsBecomeSoundFlags) {
  using O = TRotaryDial;
  const FlagRow rows[] = {
      {{}, platform::sndAsync},
      {{O::woSync}, platform::sndSync},
      {{O::woSync, O::woNoDefault, O::woNoStop}, platform::sndNoDefault | platform::sndNoStop},
      {{O::woLoop}, platform::sndAsync | platform::sndLoop},
      {{O::woNoDefault, O::woNoStop},
       platform::sndAsync | platform::sndNoDefault | platform::sndNoStop},
  };
  dial.setSoundChange(QStringLiteral("/sounds/click.wav"));
  int position = 0;
  for (const FlagRow &row : rows) {
    dial.setWaveOptions(row.options);
    sounds.clear();
    dial.setPosition(++position);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].flags, row.flags) << int(row.options.bits());
    EXPECT_EQ(sounds[0].fileName, QStringLiteral("/sounds/click.wav"));
  }
}

TEST_F(RotaryDialTest, MaxRefusesOnlyNegativeValuesAndLeavesPositionAlone) {
  dial.setPosition(8);
  struct Row {
    int value;
    int expected;
  };
  for (const Row row :
       {Row{-1, 10}, Row{3, 3}, Row{271, 271}, Row{0, 0}, Row{100000, 100000}, Row{-5, 100000}}) {
    dial.setMax(row.value);
    EXPECT_EQ(dial.max(), row.expected) << row.value;
    EXPECT_EQ(dial.position(), 8);
  }
  events.clear();
  dial.setMax(3);
  dial.setPosition(9); // clamps to 3: a change
  EXPECT_EQ(dial.position(), 3);
  EXPECT_EQ(changes(), 1);
}

struct KeyRow {
  int max;
  int start;
  Qt::Key key;
  int expected;
};

class KeyTable : public RotaryDialTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(KeyTable, StepsAndJumpsWithinTheRange) {
  const KeyRow row = GetParam();
  dial.setMax(row.max);
  dial.setPosition(row.start);
  events.clear();
  sounds.clear();
  QTest::keyClick(&dial, row.key);
  EXPECT_EQ(dial.position(), row.expected);
  const bool moved = row.expected != row.start;
  EXPECT_EQ(changes(), moved ? 1 : 0);
  EXPECT_EQ(sounds.size(), moved ? 1u : 0u); // a key at a bound sets nothing
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    ::testing::Values(KeyRow{10, 3, Qt::Key_End, 10}, KeyRow{10, 3, Qt::Key_Home, 0},
                      KeyRow{10, 5, Qt::Key_Left, 4}, KeyRow{10, 5, Qt::Key_Right, 6},
                      KeyRow{10, 0, Qt::Key_Left, 0}, KeyRow{10, 10, Qt::Key_Right, 10},
                      KeyRow{10, 5, Qt::Key_Up, 5}, KeyRow{10, 5, Qt::Key_Down, 5},
                      KeyRow{10, 5, Qt::Key_PageUp, 5}, KeyRow{10, 10, Qt::Key_End, 10},
                      KeyRow{0, 0, Qt::Key_Right, 0}, KeyRow{499, 300, Qt::Key_Right, 301},
                      KeyRow{499, 300, Qt::Key_End, 499}));

TEST_F(RotaryDialTest, EveryEntryOfALargeCatalogueIsReachableByKeys) {
  dial.setMax(299); // 300 archives
  for (int i = 0; i < 400; ++i)
    QTest::keyClick(&dial, Qt::Key_Right);
  EXPECT_EQ(dial.position(), 299);
  EXPECT_EQ(changes(), 299);
}

// Keys go on to the parent after the dial; a filter that eats one cancels it.
class KeyRecorder final : public QObject {
public:
  bool eat = false;
  int seen = 0;
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() != QEvent::KeyPress)
      return false;
    ++seen;
    return eat;
  }
};

TEST_F(RotaryDialTest, KeysAreNotConsumedAndAFilterCanCancelThem) {
  QWidget parent;
  dial.setParent(&parent);
  KeyRecorder parentRecorder;
  parent.installEventFilter(&parentRecorder);
  QTest::keyClick(&dial, Qt::Key_Right);
  EXPECT_EQ(dial.position(), 1);
  EXPECT_EQ(parentRecorder.seen, 1);

  KeyRecorder eater;
  eater.eat = true;
  dial.installEventFilter(&eater);
  QTest::keyClick(&dial, Qt::Key_Right);
  EXPECT_EQ(dial.position(), 1);
  dial.removeEventFilter(&eater);
  dial.setParent(nullptr);
}

TEST_F(RotaryDialTest, DraggingThePointerTurnsTheDial) {
  // Max 10: position 0 spans 211..238 degrees, 5 spans 76..103.
  press(pixelAt(220, 230));
  ASSERT_TRUE(dial.isDragging());
  moveTo(pixelAt(85, 95));
  EXPECT_EQ(dial.position(), 5);
  moveTo(pixelAt(-50, -40)); // radius checks do not apply while dragging
  EXPECT_EQ(dial.position(), 10);
  moveTo(pixelAt(150, 160, 70, 80)); // outside the ring
  EXPECT_EQ(dial.position(), 3);
  QTest::mouseRelease(&dial, Qt::LeftButton, {}, pixelAt(150, 160));
  EXPECT_FALSE(dial.isDragging());
  moveTo(pixelAt(85, 95));
  EXPECT_EQ(dial.position(), 3);
  EXPECT_EQ(events, std::vector<std::string>(
                        {"change 5", "sound", "change 10", "sound", "change 3", "sound"}));
}

TEST_F(RotaryDialTest, BoundaryAnglesGoToTheLowerPositionAndTheGapToNone) {
  press(pixelAt(220, 230));
  moveTo(pixelAt(150, 160));
  ASSERT_EQ(dial.position(), 3);
  moveTo(pixelAt(211, 212)); // 211 ends position 0 and starts position 1
  EXPECT_EQ(dial.position(), 0);
  moveTo(pixelAt(210, 211));
  EXPECT_EQ(dial.position(), 1);
  moveTo(pixelAt(-59, -58));
  EXPECT_EQ(dial.position(), 10);
  moveTo(pixelAt(-75, -60)); // the gap: the pointer stays
  EXPECT_EQ(dial.position(), 10);
  moveTo(pixelAt(260, 268));
  EXPECT_EQ(dial.position(), 10);
  EXPECT_TRUE(dial.isDragging());
}

struct PressRow {
  const char *name;
  double from, to;
  int minRadius, maxRadius;
  Qt::MouseButton button;
  bool drags;
};

TEST_F(RotaryDialTest, OnlyALeftPressOnTheWedgeInTheRingStartsADrag) {
  const PressRow rows[] = {
      {"left on wedge", 220, 230, 45, 57, Qt::LeftButton, true},
      {"right on wedge", 220, 230, 45, 57, Qt::RightButton, false},
      {"left inside hub", 220, 230, 20, 38, Qt::LeftButton, false},
      {"left beyond knob", 220, 230, 64, 80, Qt::LeftButton, false},
      {"left away from wedge", 85, 95, 45, 57, Qt::LeftButton, false},
  };
  for (const PressRow &row : rows) {
    dial.setPosition(0);
    events.clear();
    press(pixelAt(row.from, row.to, row.minRadius, row.maxRadius), row.button);
    EXPECT_EQ(dial.isDragging(), row.drags) << row.name;
    EXPECT_EQ(dial.position(), 0) << row.name; // a press never moves the pointer
    QTest::mouseRelease(&dial, row.button, {}, {88, 88});
  }
  EXPECT_EQ(changes(), 0);
}

TEST_F(RotaryDialTest, PressesOffTheWedgeKeepTheDragStateButOnItReset) {
  press(pixelAt(220, 230));
  ASSERT_TRUE(dial.isDragging());
  press(pixelAt(85, 95), Qt::RightButton); // away from the wedge: unchanged
  EXPECT_TRUE(dial.isDragging());
  press({88, 88}); // the centre has no angle
  EXPECT_TRUE(dial.isDragging());
  press(pixelAt(220, 230), Qt::RightButton); // on the wedge, not a left press
  EXPECT_FALSE(dial.isDragging());
  QTest::mouseRelease(&dial, Qt::RightButton, {}, {88, 88});
}

TEST_F(RotaryDialTest, CentreLeavingAndLeaveEventsEndTheDrag) {
  struct Row {
    const char *name;
    std::function<void()> end;
  };
  const Row rows[] = {
      {"centre pixel",
       [this] {
         moveTo({88, 88});
       }},
      {"off the control",
       [this] {
         moveTo({200, 88});
       }},
      {"off the top",
       [this] {
         moveTo({88, -3});
       }},
      {"leave event",
       [this] {
         QEvent leave(QEvent::Leave);
         QApplication::sendEvent(&dial, &leave);
       }},
  };
  for (const Row &row : rows) {
    dial.setPosition(0);
    press(pixelAt(220, 230));
    ASSERT_TRUE(dial.isDragging()) << row.name;
    row.end();
    EXPECT_FALSE(dial.isDragging()) << row.name;
    moveTo(pixelAt(85, 95));
    EXPECT_EQ(dial.position(), 0) << row.name;
    QTest::mouseRelease(&dial, Qt::LeftButton, {}, {88, 88});
  }
}

TEST_F(RotaryDialTest, LargeAndOddRangesStayDraggable) {
  struct Row {
    int max;
    double grabFrom, grabTo; // inside position 0's wedge
    int upper;               // selected at 80 degrees
    int lowerRight;          // selected at -46 degrees
  };
  // Max 137: one-degree steps from 159 down, 80 on drawn step 78, -46 in the gap.
  // Max 1000: 270 drawn steps from 225 down; 80 is drawn step 144 (first
  // position 534) and -46 the last one.
  for (const Row row : {Row{137, 158, 159, 78, 78}, Row{1000, 224, 225, 534, 1000}}) {
    dial.setPosition(0);
    dial.setMax(row.max);
    press(pixelAt(row.grabFrom, row.grabTo, 50, 60));
    ASSERT_TRUE(dial.isDragging()) << row.max;
    moveTo(pixelAt(80, 81, 50, 60));
    EXPECT_EQ(dial.position(), row.upper) << row.max;
    moveTo(pixelAt(-45.9, -45, 50, 60));
    EXPECT_EQ(dial.position(), row.lowerRight) << row.max;
    QTest::mouseRelease(&dial, Qt::LeftButton, {}, {88, 88});
  }
}

} // namespace
