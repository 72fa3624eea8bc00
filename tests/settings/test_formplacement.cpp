// Where a window stands and its state: the keys written, and which of them a
// restore uses on which screen.

#include "controls/form.h"
#include "formstorage_testing.h"
#include "settings/formstorage.h"
#include "support/tempdir.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::fileLines;
using test::writeLines;
using Option = TFormPlacement::PlacementOption;

constexpr QPoint kFirstPlace{398, 288};
constexpr QSize kFormSize{356, 381};

class FormPlacementTest : public ::testing::Test {
protected:
  FormPlacementTest() {
    form.setFixedSize(kFormSize);
    form.move(kFirstPlace);
    storage = new TFormStorage(&form);
    storage->setIniFileName(path);
    storage->setIniSection(QStringLiteral("setup"));
  }

  QStringList section(const QString &name = QStringLiteral("setup")) const {
    return test::sectionLines(path, name);
  }
  QString value(const QString &key) const {
    for (const QString &line : section())
      if (line.startsWith(key + u'='))
        return line.mid(key.size() + 1);
    return QStringLiteral("<missing>");
  }
  void restoreFrom(const QStringList &keys) {
    writeLines(path, QStringList{QStringLiteral("[setup]")} + keys);
    storage->LoadWindowSettings();
  }

  test::TempDir dir;
  QString path = dir.file(QStringLiteral("VANTOR.INI"));
  test::FixedScreen screen;
  TForm form;
  TFormStorage *storage;
};

TEST_F(FormPlacementTest, ASaveWritesThePlacementKeysInOrder) {
  storage->LoadWindowSettings();
  storage->StoreWindowSettings();
  EXPECT_EQ(section(), (QStringList{
                           QStringLiteral("Flags=0"),
                           QStringLiteral("ShowCmd=1"),
                           QStringLiteral("PixelsPerInch=96"),
                           QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"),
                           QStringLiteral("MinMaxPos=-1,-1,0,0"),
                           QStringLiteral("NormPos(1024x768)=398,288,754,669"),
                           QStringLiteral("NormPos=398,288,754,669"),
                           QStringLiteral("Visible=0"),
                       }));
}

TEST_F(FormPlacementTest, AShownWindowIsSavedWhereItStands) {
  form.show();
  form.move(10, 20);
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("NormPos")), QStringLiteral("10,20,366,401"));
  EXPECT_EQ(value(QStringLiteral("MinMaxPos")), QStringLiteral("-1,-1,0,0"));
}

TEST_F(FormPlacementTest, BeforeAnyRestoreTheMaximisedPositionIsUnset) {
  storage->setActive(false); // an inactive storage writes without a restore
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("MinMaxPos")), QStringLiteral("-1,-1,-1,-1"));
}

struct PositionCase {
  const char *name;
  QStringList keys;
  QPoint expected;
};

TEST_F(FormPlacementTest, TheRestoreTakesThePositionFromTheKeysItFinds) {
  const PositionCase cases[] = {
      {"sized key first",
       {QStringLiteral("NormPos(1024x768)=10,20,366,401"), QStringLiteral("NormPos=30,40,0,0")},
       {10, 20}},
      {"plain key when the size differs",
       {QStringLiteral("NormPos(800x600)=10,20,366,401"), QStringLiteral("NormPos=30,40,386,421")},
       {30, 40}},
      {"two numbers keep the size", {QStringLiteral("NormPos=100 200")}, {100, 200}},
      {"a fixed-size window ignores right and left",
       {QStringLiteral("NormPos=300,300,100,100")},
       {300, 300}},
      {"missing words default to where it stands", {QStringLiteral("NormPos=a,77")}, {398, 77}},
      {"same pixels per inch",
       {QStringLiteral("PixelsPerInch=96"), QStringLiteral("NormPos=5,6")},
       {5, 6}},
      {"other pixels per inch",
       {QStringLiteral("PixelsPerInch=120"), QStringLiteral("NormPos=5,6")},
       kFirstPlace},
      {"no position key", {QStringLiteral("Flags=0"), QStringLiteral("ShowCmd=1")}, kFirstPlace},
      {"only MinMaxPos", {QStringLiteral("MinMaxPos=1,2,3,4")}, kFirstPlace},
  };
  for (const PositionCase &c : cases) {
    form.move(kFirstPlace);
    restoreFrom(c.keys);
    EXPECT_EQ(form.pos(), c.expected) << c.name;
    EXPECT_EQ(form.size(), kFormSize) << c.name;
  }
}

TEST_F(FormPlacementTest, ARestoredWindowIsKeptWithinReachOfTheScreen) {
  // The borderless window is 356 x 381 on a 1024 x 768 screen.
  const PositionCase cases[] = {
      {"far beyond the corner", {QStringLiteral("NormPos=3000,2000")}, {668, 387}},
      {"above and left", {QStringLiteral("NormPos=-300,-50")}, {0, 0}},
      {"mostly off to the right", {QStringLiteral("NormPos=900,100")}, {668, 100}},
      {"mostly on the screen", {QStringLiteral("NormPos=800,100")}, {668, 100}},
      {"just past the bottom", {QStringLiteral("NormPos=10,388")}, {10, 387}},
      {"wholly on the screen", {QStringLiteral("NormPos=10,20")}, {10, 20}},
  };
  for (const PositionCase &c : cases) {
    form.move(kFirstPlace);
    restoreFrom(c.keys);
    EXPECT_EQ(form.pos(), c.expected) << c.name;
  }
  // A second screen to the right is a screen too.
  setScreenSource([] {
    return ScreenMetrics{{1024, 768}, 96, {QRect(0, 0, 1024, 768), QRect(1024, 0, 1024, 768)}};
  });
  restoreFrom({QStringLiteral("NormPos=1300,200")});
  EXPECT_EQ(form.pos(), QPoint(1300, 200));
  restoreFrom({QStringLiteral("NormPos=3000,2000")});
  EXPECT_EQ(form.pos(), QPoint(1692, 387));
}

// With no settings file the window keeps its first place, which on a small
// or scaled screen may run past the edge; the show brings it wholly on, also
// when the window's own show handler gives it a bigger size (a skin).
TEST(FormPlacementOnShow, TheWindowComesUpWhollyOnTheScreen) {
  test::TempDir dir;
  test::FixedScreen screen({640, 512});
  struct Case {
    const char *name;
    QPoint place;
    QSize grownTo; // by the show handler; empty: not at all
    QPoint expected;
  };
  const Case cases[] = {
      {"fits", {141, 108}, {}, {141, 108}},
      {"setup window past both edges", {398, 288}, {}, {284, 131}},
      {"a skin too wide after the show handler", {141, 108}, {550, 340}, {90, 108}},
  };
  for (const Case &c : cases) {
    TForm form;
    form.setFixedSize(kFormSize);
    form.move(c.place);
    form.OnShow = [&](QObject *) {
      if (!c.grownTo.isEmpty())
        form.setFixedSize(c.grownTo);
    };
    auto *storage = new TFormStorage(&form);
    // Each its own file: the storage saves when the form goes.
    storage->setIniFileName(dir.file(QString::fromLatin1(c.name) + QStringLiteral(".INI")));
    form.show();
    EXPECT_EQ(form.pos(), c.expected) << c.name;
    EXPECT_TRUE(QRect(0, 0, 640, 512).contains(form.frameGeometry())) << c.name;
  }
}

// The clamp is where the window comes up; what the file holds for another
// screen size stays as it was.
TEST_F(FormPlacementTest, AStoredPlaceForAnotherScreenSizeIsKept) {
  writeLines(path,
             {QStringLiteral("[setup]"), QStringLiteral("NormPos(1280x1024)=800,600,1156,981"),
              QStringLiteral("NormPos=800,600,1156,981")});
  form.show();
  EXPECT_EQ(form.pos(), QPoint(668, 387));
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("NormPos(1280x1024)")), QStringLiteral("800,600,1156,981"));
  EXPECT_EQ(value(QStringLiteral("NormPos(1024x768)")), QStringLiteral("668,387,1024,768"));
}

TEST_F(FormPlacementTest, AModalWindowIsNeverRestoredMinimised) {
  for (const Qt::WindowModality modality : {Qt::ApplicationModal, Qt::WindowModal}) {
    form.setWindowState(Qt::WindowNoState);
    form.setWindowModality(modality);
    restoreFrom({QStringLiteral("ShowCmd=2")});
    EXPECT_FALSE(form.windowState().testFlag(Qt::WindowMinimized)) << modality;
  }
  form.setWindowModality(Qt::NonModal);
  restoreFrom({QStringLiteral("ShowCmd=2")});
  EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMinimized));
}

TEST(FormPlacementModal, AWindowRestoredMinimisedWhileHiddenComesUpNormalWhenShownModal) {
  test::TempDir dir;
  const QString path = dir.file(QStringLiteral("VANTOR.INI"));
  test::FixedScreen screen;
  TForm form;
  form.setFixedSize(kFormSize);
  Qt::WindowStates shownState;
  form.OnShow = [&](QObject *) {
    shownState = form.windowState();
    form.close();
  };
  auto *storage = new TFormStorage(&form);
  storage->setIniFileName(path);
  storage->setIniSection(QStringLiteral("setup"));
  writeLines(path, {QStringLiteral("[setup]"), QStringLiteral("ShowCmd=2")});
  // As at start-up: restored while hidden, then shown as a dialog.
  storage->LoadWindowSettings();
  form.showModal();
  EXPECT_FALSE(shownState.testFlag(Qt::WindowMinimized));
  EXPECT_FALSE(form.windowState().testFlag(Qt::WindowMinimized));
}

TEST_F(FormPlacementTest, AChangedScreenSizeUsesThePlainKeysAndKeepsTheOldOnes) {
  restoreFrom({QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"), QStringLiteral("MinMaxPos=7,8,0,0"),
               QStringLiteral("NormPos(1024x768)=10,20,366,401"),
               QStringLiteral("NormPos=30,40,386,421")});
  EXPECT_EQ(form.pos(), QPoint(10, 20));

  screen.set({1280, 1024}, 96);
  restoreFrom({QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"), QStringLiteral("MinMaxPos=7,8,0,0"),
               QStringLiteral("NormPos(1024x768)=10,20,366,401"),
               QStringLiteral("NormPos=30,40,386,421")});
  EXPECT_EQ(form.pos(), QPoint(30, 40));
  storage->StoreWindowSettings();
  EXPECT_EQ(section(),
            (QStringList{QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"),
                         QStringLiteral("MinMaxPos=7,8,0,0"),
                         QStringLiteral("NormPos(1024x768)=10,20,366,401"),
                         QStringLiteral("NormPos=30,40,386,421"), QStringLiteral("Flags=0"),
                         QStringLiteral("ShowCmd=1"), QStringLiteral("PixelsPerInch=96"),
                         QStringLiteral("MinMaxPos(1280x1024)=7,8,0,0"),
                         QStringLiteral("NormPos(1280x1024)=30,40,386,421"),
                         QStringLiteral("Visible=0")}));
}

TEST_F(FormPlacementTest, AChangedPixelsPerInchKeepsThePlaceButRestoresStateAndProperties) {
  auto *edit = new QLineEdit(&form);
  edit->setObjectName(QStringLiteral("neoloc"));
  storage->setStoredProps({QStringLiteral("neoloc.text")});
  screen.set({1024, 768}, 120);
  restoreFrom({QStringLiteral("ShowCmd=3"), QStringLiteral("PixelsPerInch=96"),
               QStringLiteral("NormPos=1,2,3,4"), QStringLiteral("neoloc_text=C:\\NEORAGE")});
  EXPECT_EQ(form.pos(), kFirstPlace);
  EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMaximized));
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\NEORAGE"));
  form.setWindowState(Qt::WindowNoState);
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("PixelsPerInch")), QStringLiteral("120"));
}

TEST_F(FormPlacementTest, ASizeableWindowGetsItsSizeAndIgnoresAnEmptyRectangle) {
  TForm framed;
  framed.setWindowFlags(Qt::Window);
  framed.resize(200, 100);
  framed.move(50, 60);
  auto *own = new TFormPlacement(&framed);
  own->setIniFileName(path);
  own->setIniSection(QStringLiteral("framed"));
  const struct {
    const char *normPos;
    QRect expected; // outer position and client size
  } cases[] = {
      {"10,20,310,420", {10, 20, 300, 400}},
      {"10,20,10,420", {50, 60, 200, 100}},
      {"10,20,5,420", {50, 60, 200, 100}},
  };
  for (const auto &c : cases) {
    framed.resize(200, 100);
    framed.move(50, 60);
    writeLines(path, {QStringLiteral("[framed]"), QStringLiteral("NormPos=") + c.normPos});
    own->LoadWindowSettings();
    EXPECT_EQ(QRect(framed.pos(), framed.size()), c.expected) << c.normPos;
  }
}

struct StateCase {
  int showCmd;
  Qt::WindowState expected;
};

TEST_F(FormPlacementTest, ShowCmdSetsTheStateOnlyWithTheStateOption) {
  const StateCase cases[] = {
      {1, Qt::WindowNoState},   {5, Qt::WindowNoState},   {9, Qt::WindowNoState},
      {2, Qt::WindowMinimized}, {6, Qt::WindowMinimized}, {7, Qt::WindowMinimized},
      {3, Qt::WindowMaximized}, {0, Qt::WindowNoState},   {42, Qt::WindowNoState},
  };
  for (const StateCase &c : cases) {
    for (const bool withState : {true, false}) {
      form.setWindowState(Qt::WindowNoState);
      storage->setOptions(withState ? TFormPlacement::PlacementOptions(Option::fpState) |
                                          Option::fpPosition
                                    : TFormPlacement::PlacementOptions(Option::fpPosition));
      restoreFrom({QStringLiteral("ShowCmd=%1").arg(c.showCmd)});
      const Qt::WindowStates state =
          form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
      EXPECT_EQ(state, withState ? c.expected : Qt::WindowNoState)
          << "ShowCmd " << c.showCmd << (withState ? " with" : " without") << " fpState";
    }
  }
}

TEST_F(FormPlacementTest, AMaximisedWindowSavesItsStateAndNormalRectangle) {
  storage->LoadWindowSettings();
  form.setWindowState(Qt::WindowMaximized);
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("ShowCmd")), QStringLiteral("3"));
  EXPECT_EQ(value(QStringLiteral("NormPos")), QStringLiteral("398,288,754,669"));
  form.setWindowState(Qt::WindowNoState);
  storage->LoadWindowSettings();
  EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(FormPlacementTest, MinimisedPositionComesBackAndTheMaximisedOneIsReset) {
  restoreFrom({QStringLiteral("MinMaxPos=12 34,56,78"), QStringLiteral("NormPos=1,2,3,4")});
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("MinMaxPos")), QStringLiteral("12,34,0,0"));
}

TEST_F(FormPlacementTest, TheActiveControlIsKeptOnlyWithItsOption) {
  auto *first = new QLineEdit(&form);
  first->setObjectName(QStringLiteral("first"));
  auto *second = new QLineEdit(&form);
  second->setObjectName(QStringLiteral("Second"));
  storage->LoadWindowSettings();
  second->setFocus();
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("ActiveControl")), QStringLiteral("<missing>"));

  storage->setOptions(TFormPlacement::PlacementOptions(Option::fpPosition) |
                      Option::fpActiveControl);
  QFile::remove(path); // a new file shows the order of the keys
  storage->StoreWindowSettings();
  EXPECT_EQ(value(QStringLiteral("ActiveControl")), QStringLiteral("Second"));
  const QStringList keys = section();
  EXPECT_EQ(keys.indexOf(QStringLiteral("ActiveControl=Second")) + 1,
            keys.indexOf(QStringLiteral("Visible=0")));

  restoreFrom({QStringLiteral("ActiveControl=FIRST")});
  EXPECT_EQ(form.focusWidget(), first);
  second->setEnabled(false); // a control that cannot take the focus is passed over
  restoreFrom({QStringLiteral("ActiveControl=second")});
  EXPECT_EQ(form.focusWidget(), first);
}

TEST_F(FormPlacementTest, TheSectionAndFileDefaultToClassAndSettingsFile) {
  TForm plain;
  auto *own = new TFormPlacement(&plain);
  EXPECT_EQ(own->resolvedIniSection(), QStringLiteral("TForm"));
  own->setIniFileName(QStringLiteral("OTHER.INI"));
  EXPECT_TRUE(own->resolvedIniFileName().endsWith(QStringLiteral("/OTHER.INI")));
  EXPECT_NE(own->resolvedIniFileName(), QStringLiteral("OTHER.INI"));
  own->setIniFileName(QString());
  EXPECT_TRUE(own->resolvedIniFileName().endsWith(QStringLiteral(".INI")));
  own->setIniFileName(path);
  EXPECT_EQ(own->resolvedIniFileName(), path);
}

TEST_F(FormPlacementTest, TheSaveAndRestoreEventsSeeTheOpenFile) {
  QStringList seen;
  storage->OnRestorePlacement = [&](QObject *) {
    seen << QStringLiteral("restore:%1").arg(storage->iniFile() != nullptr);
  };
  storage->OnSavePlacement = [&](QObject *) {
    seen << QStringLiteral("save:%1:%2")
                .arg(storage->iniFile() != nullptr)
                .arg(storage->iniFile()->readString(QStringLiteral("setup"),
                                                    QStringLiteral("Visible"), QString()));
  };
  storage->LoadWindowSettings();
  storage->StoreWindowSettings();
  EXPECT_EQ(seen, (QStringList{QStringLiteral("restore:1"), QStringLiteral("save:1:0")}));
  EXPECT_EQ(storage->iniFile(), nullptr);
}

} // namespace
} // namespace vantor
