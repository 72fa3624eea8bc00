#include "controls/edit.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "launcher/catalogue.h"
#include "launcher/filelistbox.h"
#include "launcher/mainwindow.h"
#include "linkedwindows.h"
#include "platform/handlerguard.h"
#include "platform/profile.h"
#include "platform/usermessage.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "support/modalanswer.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::TempDir;

TEST(Catalogue, RomNameDropsTheLastFourCharacters) {
  const std::pair<const char *, const char *> rows[] = {
      {"pacman.zip", "pacman"}, {"a.zip", "a"}, {".zip", ""}, {"zip", ""}, {"", ""}};
  for (const auto &[entry, name] : rows)
    EXPECT_EQ(romNameOf(entry), QString(name)) << entry;
}

namespace {

using CatalogueWindows = test::LinkedWindows;

TEST_F(CatalogueWindows, MergesRomThenCdromKeepingDuplicates) {
  dir.write("roms/b.zip");
  dir.write("roms/a.zip");
  dir.write("cd/c.zip");
  dir.write("cd/a.zip");
  setup.romloc->setTextValue(dir.file("roms"));
  setup.cdromloc->setTextValue(dir.file("cd"));
  EXPECT_EQ(main.listroms.names(), (QStringList{"a.zip", "b.zip", "a.zip", "c.zip"}));
  EXPECT_EQ(main.RotaryDial1->max(), 3);
  EXPECT_EQ(main.listroms.selectedIndex(), 0);
  EXPECT_EQ(main.romname->caption(), "a");
  EXPECT_EQ(main.snapshotBasePath(), QDir::separator() + QString("a"));
  // Each entry keeps the folder it was listed in.
  const QString roms = QDir(dir.file("roms")).canonicalPath();
  const QString cd = QDir(dir.file("cd")).canonicalPath();
  QStringList folders;
  for (int i = 0; i < main.listroms.count(); ++i)
    folders << main.listroms.entry(i).folder;
  EXPECT_EQ(folders, (QStringList{roms, roms, cd, cd}));
  main.RotaryDial1->setPosition(2);
  ASSERT_NE(main.selectedEntry(), nullptr);
  EXPECT_EQ(main.selectedEntry()->folder, cd);
  EXPECT_EQ(main.romName(), "a");
}

TEST_F(CatalogueWindows, EmptyRomTextGivesOnlyCdromArchives) {
  dir.write("cd/x.zip");
  dir.write("cd/y.zip");
  setup.cdromloc->setTextValue(dir.file("cd"));
  EXPECT_EQ(main.listroms.names(), (QStringList{"x.zip", "y.zip"}));
}

TEST_F(CatalogueWindows, DialAndStepButtonsSelectEntries) {
  dir.write("roms/a.zip");
  dir.write("roms/b.zip");
  dir.write("roms/c.zip");
  setup.Snapsloc->setTextValue(dir.file("snaps"));
  setup.romloc->setTextValue(dir.file("roms"));
  main.dirfowardCommand(nullptr);
  EXPECT_EQ(main.romname->caption(), "b");
  EXPECT_EQ(main.snapshotBasePath(), dir.file("snaps") + QDir::separator() + "b");
  main.dirfowardCommand(nullptr);
  main.dirfowardCommand(nullptr); // at Max: nothing
  EXPECT_EQ(main.RotaryDial1->position(), 2);
  EXPECT_EQ(main.listroms.selectedIndex(), 2);
  main.RotaryDial1->setPosition(0);
  EXPECT_EQ(main.romname->caption(), "a");
  main.romname->setCaption("untouched");
  main.dirbackCommand(nullptr); // at 0: nothing, no re-show
  EXPECT_EQ(main.romname->caption(), "untouched");
}

TEST_F(CatalogueWindows, EveryEntryOfALargeCatalogueIsReachable) {
  for (int i = 0; i < 300; ++i)
    dir.write(QString("roms/g%1.zip").arg(i, 3, 10, QChar('0')));
  setup.romloc->setTextValue(dir.file("roms"));
  ASSERT_EQ(main.listroms.count(), 300);
  EXPECT_EQ(main.RotaryDial1->max(), 299);
  for (int i = 0; i < 310; ++i)
    main.dirfowardCommand(nullptr);
  EXPECT_EQ(main.RotaryDial1->position(), 299);
  EXPECT_EQ(main.romname->caption(), "g299");
  main.RotaryDial1->setPosition(271);
  EXPECT_EQ(main.romname->caption(), "g271");
}

TEST_F(CatalogueWindows, ChangeHandlersRebuildOnlyForExistingFolders) {
  dir.write("roms/a.zip");
  dir.write("other/z.zip");
  setup.romloc->setTextValue(dir.file("roms"));
  ASSERT_EQ(main.listroms.names(), QStringList{"a.zip"});
  // Typing a folder that does not exist yet changes nothing.
  setup.romloc->setTextValue(dir.file("oth"));
  EXPECT_EQ(main.listroms.names(), QStringList{"a.zip"});
  setup.romloc->setTextValue(dir.file("other"));
  EXPECT_EQ(main.listroms.names(), QStringList{"z.zip"});
  // A changed snapshot folder rebuilds too, and shows entry 0 again.
  main.romname->setCaption("x");
  setup.Snapsloc->setTextValue(dir.file("snaps"));
  EXPECT_EQ(main.romname->caption(), "z");
}

TEST_F(CatalogueWindows, EmptyCatalogueLeavesCaptionAndSelection) {
  dir.mkdir("empty");
  setup.romloc->setTextValue(dir.file("empty"));
  EXPECT_TRUE(main.listroms.isEmpty());
  EXPECT_EQ(main.romname->caption(), "< ROM NAME >");
  main.RotaryDial1Change(nullptr);
  EXPECT_EQ(main.romname->caption(), "< ROM NAME >");
}

TEST_F(CatalogueWindows, EmulatorPathSetsNeodirAndShotsOnlyWhenItIsAFile) {
  const QString emu = dir.write("neo/neorage");
  dir.write("neo/shots/shot0001.bmp");
  setup.neoloc->setTextValue(dir.file("neo"));
  EXPECT_TRUE(setup.neodir().isEmpty());
  setup.neoloc->setTextValue(emu);
  EXPECT_EQ(setup.neodir(), dir.file("neo") + QDir::separator());
  EXPECT_EQ(main.shotdir->items(), QStringList{"shot0001.bmp"});
  setup.neoloc->setTextValue(dir.file("neo/missing"));
  EXPECT_EQ(setup.neodir(), dir.file("neo") + QDir::separator());
}

TEST_F(CatalogueWindows, FirstStartOpensSetupModallyBeforeBuilding) {
  dir.write("roms/a.zip");
  bool setupWasShown = false;
  // The modal loop runs this: the user picks a folder and goes back.
  const test::ModalAnswer answer(&setup, [&](QWidget *) {
    setupWasShown = setup.isVisible() && setup.isShowingModal();
    setup.romloc->setTextValue(dir.file("roms"));
    setup.close();
  });
  main.show();
  EXPECT_EQ(answer.answers(), 1);
  EXPECT_TRUE(setupWasShown);
  EXPECT_FALSE(setup.isVisible());
  EXPECT_EQ(main.listroms.names(), QStringList{"a.zip"});
  EXPECT_EQ(main.romname->caption(), "a");
}

TEST_F(CatalogueWindows, StartUpRestoreIgnoresHandlerErrorsATypedChangeShowsThem) {
  const QString emu = dir.write("neo/neorage"); // no "shots" folder beside it
  platform::ProfileFile ini(dir.file("vantor.INI"));
  ini.writeString("setup", "neoloc_Text", emu);
  setup.FormStorage1->setIniFileName(dir.file("vantor.INI"));
  QStringList reported;
  ScopedMessagePresenter presenter([&](const UserMessage &message) { reported << message.text; });
  setup.restoreQuietly();
  EXPECT_EQ(setup.neoloc->text(), emu);
  EXPECT_EQ(setup.neodir(), dir.file("neo") + QDir::separator());
  EXPECT_TRUE(reported.isEmpty());
  setup.neoloc->setTextValue(dir.write("neo2/neorage"));
  EXPECT_EQ(reported.size(), 1);
}

} // namespace
