// The about window as the program builds it, and its opening from the main
// window's about button.
#include "controls/image.h"
#include "controls/picbtn.h"
#include "controls/urllabel.h"
#include "launcher/aboutwindow.h"
#include "linkedwindows.h"
#include "platform/shellopen.h"
#include "settings/formstorage.h"
#include "support/modalanswer.h"

#include <QTest>
#include <gtest/gtest.h>

namespace vantor {
namespace {

class AboutWindow : public test::LinkedWindows {
protected:
  AboutWindow() {
    about.FormStorage1->setIniFileName(dir.file("vantor.INI"));
    main.setAboutWindow(&about);
    // Counts the close requests that reach the window's storage.
    TCloseQueryEvent storage = about.OnCloseQuery;
    about.OnCloseQuery = [this, storage](QObject *sender, bool &canClose) {
      ++closeRequests;
      storage(sender, canClose);
    };
  }

  // Where a new about window opens: the position kept in the settings file.
  QPoint storedPosition() {
    Tfrmabout again;
    again.FormStorage1->setIniFileName(dir.file("vantor.INI"));
    again.show();
    return again.pos();
  }

  Tfrmabout about;
  int closeRequests = 0;
};

struct LinkCase {
  const char *name;
  const char *scheme; // how the opened address starts
};

void PrintTo(const LinkCase &c, std::ostream *os) {
  *os << c.name;
}

class AboutLinks : public AboutWindow, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(AboutLinks, OpenTheirTargetThroughTheDesktop) {
  const LinkCase &c = GetParam();
  auto *label = about.findChild<TURLLabel *>(QLatin1String(c.name));
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->caption().contains(QStringLiteral("vantor.example")));

  QStringList opened;
  platform::ScopedShellOpener opener([&](const QString &a) { opened << a; });
  about.show();
  QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(opened, QStringList{QLatin1String(c.scheme) + label->caption()});
}

INSTANTIATE_TEST_SUITE_P(Table, AboutLinks,
                         ::testing::Values(LinkCase{"URLLabel1", "http://"},
                                           LinkCase{"URLLabel2", "http://"},
                                           LinkCase{"URLLabel3", "mailto:"}));

TEST_F(AboutWindow, TheAboutButtonShowsItModallyAndTheExitButtonClosesIt) {
  bool modal = false;
  const test::ModalAnswer answer(&about, [&](QWidget *) {
    modal = about.isVisible() && about.isShowingModal();
    about.move(40, 50);
    about.exitabout->OnCommand(about.exitabout);
  });
  main.about->OnClick(main.about);
  EXPECT_EQ(answer.answers(), 1);
  EXPECT_TRUE(modal);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(closeRequests, 1);

  EXPECT_EQ(storedPosition(), QPoint(40, 50));
}

TEST_F(AboutWindow, TheExitButtonsRepeatDoesNotCloseOrSaveAgain) {
  about.exitabout->OnCommand(about.exitabout);
  EXPECT_EQ(closeRequests, 0) << "a window never shown has nothing to close";
  about.show();
  about.move(40, 50);
  about.exitabout->OnCommand(about.exitabout);
  ASSERT_FALSE(about.isVisible());
  about.move(90, 90);
  about.exitabout->OnCommand(about.exitabout);
  about.exitabout->OnCommand(about.exitabout);
  EXPECT_EQ(closeRequests, 1);

  EXPECT_EQ(storedPosition(), QPoint(40, 50));
}

TEST_F(AboutWindow, DraggingTheArtworkMovesTheWindow) {
  about.move(100, 100);
  about.Image1->OnMouseDown(about.Image1, Qt::RightButton, Qt::NoModifier, 10, 10);
  about.Image1->OnMouseMove(about.Image1, Qt::NoModifier, 15, 15);
  EXPECT_EQ(about.pos(), QPoint(100, 100));
  about.Image1->OnMouseMove(about.Image1, Qt::NoModifier, 30, 10);
  EXPECT_EQ(about.pos(), QPoint(120, 100));
  about.Image1->OnMouseUp(about.Image1, Qt::RightButton, Qt::NoModifier, 30, 10);
  about.Image1->OnMouseMove(about.Image1, Qt::NoModifier, 60, 60);
  EXPECT_EQ(about.pos(), QPoint(120, 100));
}

} // namespace
} // namespace vantor
