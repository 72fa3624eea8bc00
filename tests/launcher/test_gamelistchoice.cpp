// Which game list the main window reads: the command line's, else the one
// chosen in the setup window, else the first in the ROM folder; a chosen one
// that cannot be read is reported once and the ROM names are shown.
#include "controls/picbtn.h"
#include "controls/shadowlabel.h"
#include "launcher/gamelistloader.h"
#include "launcher/mainwindow.h"
#include "linkedwindows.h"
#include "platform/clock.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"
#include "support/scopedhook.h"
#include "support/wait.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vantor;

namespace {

QByteArray listTitled(const char *title) {
  return QByteArray("<datafile><game name=\"mslug\"><description>") + title +
         "</description></game></datafile>";
}

struct ChoiceCase {
  const char *name;
  const char *commandLine; // below the test folder; "" for none
  const char *setting;     // datloc_Text below the test folder; "" for none
  const char *caption;     // mslug's caption once the list is in
  const char *message;     // part of what the user is told; "" for nothing
};

class GameListChoice : public test::LinkedWindows,
                       public ::testing::WithParamInterface<ChoiceCase> {
protected:
  // The archive-listing cache goes to a test folder, not the user's.
  GameListChoice() { QStandardPaths::setTestModeEnabled(true); }
  ~GameListChoice() override { QStandardPaths::setTestModeEnabled(false); }

  QString under(const char *name) const { return *name ? dir.file(name) : QString(); }

  QStringList shown;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { shown << m.text; }};
};

using GameListChoiceWindow = GameListChoice;

TEST_P(GameListChoice, ReadsTheListThatWins) {
  const ChoiceCase &c = GetParam();
  dir.write("roms/mslug.zip");
  dir.write("roms/folder.dat", listTitled("From the folder"));
  dir.write("lists/setting.dat", listTitled("From the setting"));
  dir.write("lists/cli.dat", listTitled("From the command line"));
  dir.write("lists/notalist.dat", "<svg><rect/></svg>");
  dir.write("vantor.INI", "[setup]\nromloc_Text=" + dir.file("roms").toUtf8() +
                              "\ndatloc_Text=" + under(c.setting).toUtf8() + "\n");
  main.setGameListFile(under(c.commandLine));
  auto *loader = main.findChild<GameListLoader *>();
  ASSERT_NE(loader, nullptr);
  QSignalSpy loaded(loader, &GameListLoader::loaded);

  // As the first showing does: the restore runs the path handlers, then the
  // catalogue is built once more.
  setup.restoreQuietly();
  main.poplist();
  ASSERT_TRUE(loaded.wait(10000)) << "no game list within 10 s";

  EXPECT_EQ(loader->readsStarted(), 1) << "one read for the restore and the rebuild";
  EXPECT_EQ(loaded.count(), 1);
  EXPECT_EQ(main.romname->caption(), QString::fromUtf8(c.caption));
  if (*c.message) {
    ASSERT_EQ(shown.size(), 1) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].contains(QString::fromUtf8(c.message))) << shown[0].toStdString();
  } else {
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GameListChoice,
    ::testing::Values(
        ChoiceCase{"settingChosen", "", "lists/setting.dat", "From the setting", ""},
        ChoiceCase{"commandLineWins", "lists/cli.dat", "lists/setting.dat", "From the command line",
                   ""},
        ChoiceCase{"emptyScansTheRomFolder", "", "", "From the folder", ""},
        ChoiceCase{"missingIsReported", "", "lists/gone.dat", "mslug", "gone.dat cannot be read: "},
        ChoiceCase{"notAListIsReported", "", "lists/notalist.dat", "mslug",
                   "notalist.dat is not a game list: the root element <svg> holds <rect>, not "
                   "games at line 1"}),
    [](const auto &info) { return std::string(info.param.name); });

// The titles' words are made on a worker: once they are in, typing a word of
// a title finds its game.
TEST_F(GameListChoiceWindow, TypingFindsAWordOfATitleOnceTheWordsAreIn) {
  dir.write("roms/aaa.zip");
  dir.write("roms/mslug.zip");
  dir.write("roms/games.dat", listTitled("Metal Slug Super Vehicle"));
  std::uint32_t now = 0;
  const test::ScopedHook<platform::TickSource> ticks(platform::setTickSource, [&] { return now; });
  auto *loader = main.findChild<GameListLoader *>();
  ASSERT_NE(loader, nullptr);
  QSignalSpy loaded(loader, &GameListLoader::loaded);
  setup.romloc->setTextValue(dir.file("roms"));
  ASSERT_TRUE(loaded.wait(10000)) << "no game list within 10 s";
  ASSERT_EQ(main.romName(), "aaa");
  // Each try is a fresh word, typed after a pause; no ROM name starts with "v".
  const bool found = test::turnEventLoopUntil(
      [&] {
        now += 2000;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, QStringLiteral("v"));
        QApplication::sendEvent(main.exitall, &key);
        return main.romName() == "mslug";
      },
      10000);
  EXPECT_TRUE(found) << "typing \"v\" never found \"Vehicle\"";
}

} // namespace
