// The program's three storages through its real windows: the file a first
// run leaves, and what a second run gets back from it.

#include "app/windows.h"
#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/picbtn.h"
#include "controls/radiogroup.h"
#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "platform/clock.h"
#include "platform/profilestore.h"
#include "settings/formstorage.h"
#include "settings/formstorage_testing.h"
#include "settings/inifilename.h"
#include "settings/setupwindow.h"
#include "support/lockholder.h"
#include "support/modalanswer.h"
#include "support/scopedhook.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::fileLines;
using test::writeLines;

class ProgramRun : public ::testing::Test {
protected:
  ProgramRun() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.mkdir(QStringLiteral("config"))));
    // Closing the main window would end the test's own event loops otherwise.
    QApplication::setQuitOnLastWindowClosed(false);
    iniPath = defaultIniFilePath();
    neorage = QDir::toNativeSeparators(dir.mkdir(QStringLiteral("NEORAGE")));
    dir.mkdir(QStringLiteral("NEORAGE/shots"));
    dir.write(QStringLiteral("NEORAGE/NEORAGE.EXE"));
    dir.write(QStringLiteral("NEORAGE/ROMS/pacman.zip"));
    dir.write(QStringLiteral("NEORAGE/CDROMS/samsho.zip"));
    dir.mkdir(QStringLiteral("NEORAGE/SNAPS"));
  }
  ~ProgramRun() override {
    if (windows.frmMain)
      destroyWindows(windows);
    qunsetenv("XDG_CONFIG_HOME");
    // The folder lists make the folder they read current; it goes with the test.
    QDir::setCurrent(startFolder);
  }

  QString at(const QString &name) const { return neorage + QDir::separator() + name; }

  // Program start as main() does it.
  void start() {
    windows = createWindows();
    windows.frmMain->show();
  }
  // The exit: the main window closes, then the windows are destroyed.
  void quit() {
    windows.frmMain->close();
    destroyWindows(windows);
  }

  void enterFolders(TFrmsetup *setup) {
    setup->neoloc->setText(at(QStringLiteral("NEORAGE.EXE")));
    setup->Snapsloc->setText(at(QStringLiteral("SNAPS")));
    setup->romloc->setText(at(QStringLiteral("ROMS")));
    setup->cdromloc->setText(at(QStringLiteral("CDROMS")));
  }

  QWidget *modalSetup() const {
    TFrmsetup *setup = windows.Frmsetup.get();
    return setup && setup->isVisible() && setup->isShowingModal() ? setup : nullptr;
  }
  void useSetup() {
    ++setupOpenings;
    if (inSetup)
      inSetup(windows.Frmsetup.get());
    QTest::mouseClick(windows.Frmsetup->exitsetup, Qt::LeftButton);
  }

  QStringList section(const QString &name) const { return test::sectionLines(iniPath, name); }

  QString startFolder = QDir::currentPath();
  test::TempDir dir;
  test::FixedScreen screen{{1024, 768}, 96};
  test::RecordedErrors errors;
  QString iniPath;
  QString neorage;
  Windows windows;
  std::function<void(TFrmsetup *)> inSetup;
  int setupOpenings = 0;
  // Whenever the setup window is on show modally, the "user" acts in it and goes back.
  test::ModalAnswer setupAnswer{[this] { return modalSetup(); }, [this](QWidget *) { useSetup(); }};
};

TEST_F(ProgramRun, AFirstRunLeavesTheExampleFile) {
  inSetup = [this](TFrmsetup *setup) { enterFolders(setup); };
  start();
  EXPECT_EQ(setupOpenings, 1);
  quit();
  const QStringList expected{
      QStringLiteral("[setup]"),
      QStringLiteral("Flags=0"),
      QStringLiteral("ShowCmd=1"),
      QStringLiteral("PixelsPerInch=96"),
      QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"),
      QStringLiteral("MinMaxPos=-1,-1,0,0"),
      QStringLiteral("NormPos(1024x768)=398,288,754,669"),
      QStringLiteral("NormPos=398,288,754,669"),
      QStringLiteral("Visible=0"),
      QStringLiteral("neoloc_Text=") + at(QStringLiteral("NEORAGE.EXE")),
      QStringLiteral("Snapsloc_Text=") + at(QStringLiteral("SNAPS")),
      QStringLiteral("Joystick_ItemIndex=1"),
      QStringLiteral("noanal_ItemIndex=1"),
      QStringLiteral("vga_ItemIndex=1"),
      QStringLiteral("vsync_ItemIndex=1"),
      QStringLiteral("addcmds_Text="),
      QStringLiteral("romloc_Text=") + at(QStringLiteral("ROMS")),
      QStringLiteral("modex_ItemIndex=1"),
      QStringLiteral("frameskip_Value=0"),
      QStringLiteral("scanlines_ItemIndex=1"),
      QStringLiteral("cdromloc_Text=") + at(QStringLiteral("CDROMS")),
      QStringLiteral("datloc_Text="),
      QStringLiteral("[main]"),
      QStringLiteral("Flags=0"),
      QStringLiteral("ShowCmd=1"),
      QStringLiteral("PixelsPerInch=96"),
      QStringLiteral("MinMaxPos(1024x768)=-1,-1,0,0"),
      QStringLiteral("MinMaxPos=-1,-1,0,0"),
      QStringLiteral("NormPos(1024x768)=141,108,457,448"),
      QStringLiteral("NormPos=141,108,457,448"),
      QStringLiteral("Visible=0"),
      QStringLiteral("FormShaper1_Tag=0"),
  };
  EXPECT_EQ(fileLines(iniPath), expected);
  EXPECT_TRUE(errors.messages.isEmpty());
  // Nothing but the settings file is left in its folder.
  EXPECT_EQ(QDir(QFileInfo(iniPath).path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QFileInfo(iniPath).fileName()});
}

TEST_F(ProgramRun, SettingsSkinAndPositionsSurviveARestart) {
  inSetup = [this](TFrmsetup *setup) {
    enterFolders(setup);
    setup->Joystick->setItemIndex(0);
    setup->scanlines->setItemIndex(3);
    setup->frameskip->setValue(2);
    setup->addcmds->setText(QStringLiteral("  -sound 1  "));
    setup->move(300, 200);
  };
  start();
  windows.frmMain->FormShaper1->setTag(1);
  windows.frmMain->move(200, 150);
  windows.frmabout->show();
  windows.frmabout->move(30, 40);
  windows.frmabout->close();
  quit();
  ASSERT_EQ(setupOpenings, 1);

  inSetup = {};
  start();
  EXPECT_EQ(setupOpenings, 1) << "the stored ROM folder exists, so setup stays closed";
  TfrmMain *main = windows.frmMain.get();
  TFrmsetup *setup = windows.Frmsetup.get();
  EXPECT_EQ(main->pos(), QPoint(200, 150));
  EXPECT_EQ(main->FormShaper1->tag(), 1);
  EXPECT_EQ(setup->neoloc->text(), at(QStringLiteral("NEORAGE.EXE")));
  EXPECT_EQ(setup->Snapsloc->text(), at(QStringLiteral("SNAPS")));
  EXPECT_EQ(setup->romloc->text(), at(QStringLiteral("ROMS")));
  EXPECT_EQ(setup->cdromloc->text(), at(QStringLiteral("CDROMS")));
  EXPECT_EQ(setup->Joystick->itemIndex(), 0);
  EXPECT_EQ(setup->scanlines->itemIndex(), 3);
  EXPECT_EQ(setup->frameskip->value(), 2);
  EXPECT_EQ(setup->addcmds->text(), QStringLiteral("-sound 1"));
  EXPECT_EQ(setup->pos(), QPoint(300, 200));
  // The restore ran the path handlers: the emulator folder and the catalogue are set.
  EXPECT_EQ(setup->neodir(), neorage + QDir::separator());
  EXPECT_EQ(main->listroms.names(),
            (QStringList{QStringLiteral("pacman.zip"), QStringLiteral("samsho.zip")}));
  EXPECT_EQ(main->romName(), QStringLiteral("pacman"));
  windows.frmabout->show();
  EXPECT_EQ(windows.frmabout->pos(), QPoint(30, 40));
  EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(ProgramRun, OpeningSetupRestoresItAndClosingItSaves) {
  inSetup = [this](TFrmsetup *setup) { enterFolders(setup); };
  start();
  TFrmsetup *setup = windows.Frmsetup.get();
  // A value changed behind the window's back is restored from the file on opening.
  setup->addcmds->setText(QStringLiteral("not saved"));
  inSetup = [](TFrmsetup *s) {
    EXPECT_EQ(s->addcmds->text(), QString());
    s->addcmds->setText(QStringLiteral("-j"));
  };
  setup->showModal();
  EXPECT_EQ(setupOpenings, 2);
  EXPECT_TRUE(section(QStringLiteral("setup")).contains(QStringLiteral("addcmds_Text=-j")));
  EXPECT_TRUE(section(QStringLiteral("setup")).contains(QStringLiteral("Visible=0")));
  quit();
}

TEST_F(ProgramRun, QuittingWithoutOpeningSetupRewritesItsSectionAsVisible) {
  writeLines(iniPath, {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS"),
                       QStringLiteral("Visible=0")});
  start();
  quit();
  EXPECT_EQ(setupOpenings, 0);
  const QStringList setup = section(QStringLiteral("setup"));
  EXPECT_EQ(setup.first(), QStringLiteral("romloc_Text=") + at("ROMS"));
  EXPECT_TRUE(setup.contains(QStringLiteral("Visible=1")));
  EXPECT_TRUE(setup.contains(QStringLiteral("frameskip_Value=0")));
  EXPECT_TRUE(section(QStringLiteral("main")).contains(QStringLiteral("Visible=0")));
  EXPECT_FALSE(fileLines(iniPath).contains(QStringLiteral("[about]")));
}

TEST_F(ProgramRun, ClosingReplacesTheFileOnceForAllSavingWindows) {
  writeLines(iniPath, {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS")});
  start();
  windows.frmabout->findChild<TFormStorage *>()->LoadWindowSettings();
  int replacements = 0;
  {
    const test::ScopedHook counting(
        platform::ProfileFile::setSaveFault, [&](platform::ProfileFile::SaveStep step) {
          replacements += step == platform::ProfileFile::SaveStep::Rename;
          return false;
        });
    quit(); // the main window's close, the setup and about windows' destroy
  }
  EXPECT_EQ(replacements, 1);
  for (const char *name : {"main", "setup", "about"})
    EXPECT_TRUE(section(QLatin1String(name)).contains(QStringLiteral("PixelsPerInch=96"))) << name;
  EXPECT_TRUE(section(QStringLiteral("main")).contains(QStringLiteral("Visible=0")));
  EXPECT_TRUE(section(QStringLiteral("setup")).contains(QStringLiteral("Visible=1")));
}

TEST_F(ProgramRun, OutOfRangeAndNonNumericValuesAreMendedAtStartUp) {
  writeLines(iniPath,
             {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS"),
              QStringLiteral("frameskip_Value=abc"), QStringLiteral("scanlines_ItemIndex=9"),
              QStringLiteral("Joystick_ItemIndex=-3"), QStringLiteral("vga_ItemIndex=7"),
              QStringLiteral("vsync_ItemIndex=0"), QStringLiteral("[main]"),
              QStringLiteral("FormShaper1_Tag=zz")});
  start();
  TFrmsetup *setup = windows.Frmsetup.get();
  EXPECT_EQ(setup->frameskip->value(), 0);
  EXPECT_EQ(setup->scanlines->itemIndex(), 4);
  EXPECT_EQ(setup->Joystick->itemIndex(), -1);
  EXPECT_EQ(setup->vga->itemIndex(), 1);
  EXPECT_EQ(setup->vsync->itemIndex(), 0);
  EXPECT_EQ(windows.frmMain->FormShaper1->tag(), 0);
  quit();
}

TEST_F(ProgramRun, ARefusedSaveIsShownAndRetriedAtTheEnd) {
  writeLines(iniPath, {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS")});
  start();
  windows.frmabout->show();
  windows.frmabout->move(60, 70);
  {
    test::RefusedWrites refused;
    windows.frmabout->close();
    EXPECT_FALSE(windows.frmabout->isVisible());
    EXPECT_EQ(errors.messages, QStringList{QStringLiteral("Unable to write to %1.").arg(iniPath)});
  }
  quit();
  EXPECT_EQ(errors.messages.size(), 1);
  // The about window's destroy saved what its close could not.
  const QStringList about = section(QStringLiteral("about"));
  EXPECT_FALSE(about.filter(QRegularExpression(QStringLiteral("^NormPos=60,70,"))).isEmpty())
      << about.join(u' ').toStdString();
  EXPECT_TRUE(about.contains(QStringLiteral("Visible=1")));
}

TEST_F(ProgramRun, AnUnwritableFileAtTheEndIsShownOnceAndTheProgramEnds) {
  writeLines(iniPath, {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS")});
  const QStringList before = fileLines(iniPath);
  start();
  test::RefusedWrites refused;
  quit();
  EXPECT_EQ(errors.messages, QStringList{QStringLiteral("Unable to write to %1.").arg(iniPath)});
  EXPECT_EQ(fileLines(iniPath), before);
}

TEST_F(ProgramRun, ALockHeldElsewhereCostsOneWaitAndOneMessageAtTheEnd) {
  writeLines(iniPath, {QStringLiteral("[setup]"), QStringLiteral("romloc_Text=") + at("ROMS")});
  const QStringList before = fileLines(iniPath);
  start();
  windows.frmabout->findChild<TFormStorage *>()->LoadWindowSettings();
  // Another copy holds the lock for 20 s; the clock runs a tenth of a second a tick.
  test::LockHeldElsewhere other(QFileInfo(iniPath).path(), 20);
  ASSERT_TRUE(other.holding());
  std::uint32_t now = 0;
  platform::setTickSource([&] { return now += 100; });
  const auto restoreClock = qScopeGuard([] { platform::setTickSource({}); });
  quit(); // three windows save
  EXPECT_GE(now, platform::ProfileStore::kLockWaitMs) << "did not wait for the lock at all";
  EXPECT_LE(now, 7000U) << "waited once per window";
  EXPECT_EQ(errors.messages, QStringList{QStringLiteral("Unable to write to %1.").arg(iniPath)});
  EXPECT_EQ(fileLines(iniPath), before);
}

TEST_F(ProgramRun, ASettingsFileBehindTwoLinksIsUpdatedAndTheLinksStay) {
  const QString real = dir.write(QStringLiteral("dotfiles/vantor.INI"),
                                 "[setup]\nromloc_Text=" + QFile::encodeName(at("ROMS")) + "\n");
  const QString middle = QFileInfo(iniPath).path() + QStringLiteral("/middle.INI");
  ASSERT_TRUE(QFile::link(real, middle));
  ASSERT_TRUE(QFile::link(middle, iniPath));
  start();
  windows.frmMain->move(200, 150);
  quit();
  EXPECT_TRUE(QFileInfo(iniPath).isSymLink());
  EXPECT_TRUE(QFileInfo(middle).isSymLink());
  EXPECT_TRUE(test::sectionLines(real, QStringLiteral("main"))
                  .contains(QStringLiteral("NormPos=200,150,516,490")))
      << fileLines(real).join(u' ').toStdString();
  EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(u' ').toStdString();
}

TEST_F(ProgramRun, ALoopOfLinksIsReportedAndNothingIsWritten) {
  const QString middle = QFileInfo(iniPath).path() + QStringLiteral("/middle.INI");
  ASSERT_TRUE(QFile::link(iniPath, middle));
  ASSERT_TRUE(QFile::link(middle, iniPath));
  const QStringList before =
      QDir(QFileInfo(iniPath).path())
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  inSetup = [this](TFrmsetup *setup) { enterFolders(setup); };
  start(); // the first run's setup window saves as it closes
  quit();
  ASSERT_FALSE(errors.messages.isEmpty());
  for (const QString &message : errors.messages)
    EXPECT_EQ(message, QStringLiteral("Unable to write to %1.").arg(iniPath));
  EXPECT_EQ(errors.messages.size(), 2) << "one at the setup window's close, one at the end";
  EXPECT_EQ(QDir(QFileInfo(iniPath).path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            before);
  EXPECT_TRUE(QFileInfo(iniPath).isSymLink());
  EXPECT_TRUE(QFileInfo(middle).isSymLink());
}

} // namespace
} // namespace vantor
