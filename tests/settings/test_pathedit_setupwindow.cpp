#include "controls/background.h"
#include "platform/files.h"
#include "settings/cataloguehost.h"
#include "settings/formstorage.h"
#include "settings/pathdialogs.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::TempDir;

namespace {

class RecordingHost final : public CatalogueHost {
public:
  QStringList calls;
  void applyRomFolder(const QString &path) override { calls << "rom " + path; }
  void applyCdRomFolder(const QString &path) override { calls << "cd " + path; }
  void applyShotsFolder(const QString &path) override { calls << "shots " + path; }
  void poplist() override { calls << "poplist"; }
};

class AnswerDialogs final : public TPathDialogs {
public:
  std::optional<QString> answer;
  std::optional<QString> chooseFolder(QWidget *, const FolderDialogRequest &) override {
    return answer;
  }
  std::optional<QString> chooseFile(QWidget *, const FileDialogRequest &) override {
    return answer;
  }
};

TEST(SetupWindowFields, NamedControlsAndStoredProperties) {
  TFrmsetup setup;
  EXPECT_EQ(setup.findChild<TFilenameEdit *>("neoloc"), setup.neoloc);
  for (const char *name : {"romloc", "cdromloc", "Snapsloc"}) {
    auto *edit = setup.findChild<TDirectoryEdit *>(name);
    ASSERT_NE(edit, nullptr) << name;
    EXPECT_EQ(edit->dialogKind(), TDirectoryEdit::dkWin32);
    EXPECT_EQ(edit->glyphKind(), TCustomComboEdit::gkEllipsis);
    EXPECT_EQ(edit->geometry().size(), QSize(204, 22));
  }
  EXPECT_EQ(setup.neoloc->filter(), "Neorage|neorage.exe|All files (*.*)|*.*");
  EXPECT_EQ(setup.neoloc->dialogTitle(), "Browse");

  auto *slider = setup.findChild<TValueSlider *>("frameskip");
  ASSERT_EQ(slider, setup.frameskip);
  EXPECT_EQ(slider->geometry(), QRect(35, 280, 273, 33));
  EXPECT_EQ(slider->minValue(), 0);
  EXPECT_EQ(slider->maxValue(), 4);
  EXPECT_EQ(slider->increment(), 1);
  EXPECT_EQ(slider->value(), 0);
  EXPECT_EQ(slider->bevelStyle(), TValueSlider::bvLowered);
  EXPECT_EQ(slider->options(), TValueSlider::soShowFocus | TValueSlider::soShowPoints);
  EXPECT_EQ(slider->color(), clTeal);

  // The settings store reaches the values by property name.
  EXPECT_TRUE(slider->setProperty("Value", 3));
  EXPECT_EQ(slider->property("Value").toInt(), 3);
  EXPECT_TRUE(slider->setProperty("Value", 9));
  EXPECT_EQ(slider->property("Value").toInt(), 4);
  EXPECT_TRUE(setup.neoloc->setProperty("Text", "x"));
  EXPECT_EQ(setup.neoloc->text(), "x");
}

TEST(SetupWindowFields, FrameSkipStopsUnderTheLabels) {
  TFrmsetup setup;
  setup.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));
  const slider::TrackGeometry g = setup.frameskip->geometryInfo();
  EXPECT_EQ(g.track, (TRect{1, 1, 272, 32}));
  EXPECT_EQ(setup.frameskip->rulerBitmap().width(), 259);
  int previous = -1;
  for (int v = 0; v <= 4; ++v) {
    setup.frameskip->setValue(v);
    const int left = setup.frameskip->thumbRect().Left;
    EXPECT_GT(left, previous);
    EXPECT_EQ(left, g.valueToOffset(v));
    previous = left;
  }
  EXPECT_EQ(setup.frameskip->thumbRect().Left + setup.frameskip->thumbRect().width(), 7 + 259);
}

TEST(SetupWindowFields, ChosenFolderRunsTheChangeHandler) {
  TempDir tmp;
  const QString roms = QDir::toNativeSeparators(tmp.mkdir("roms"));
  const QString snaps = QDir::toNativeSeparators(tmp.mkdir("snaps"));
  TFrmsetup setup;
  RecordingHost host;
  setup.setHost(&host);
  AnswerDialogs dialogs;
  setup.romloc->setDialogs(&dialogs);
  setup.Snapsloc->setDialogs(&dialogs);

  dialogs.answer = roms;
  setup.romloc->doClick();
  EXPECT_EQ(host.calls, (QStringList{"rom " + roms, "poplist"}));
  // A snapshot folder change rebuilds with the ROM folder.
  dialogs.answer = snaps;
  setup.Snapsloc->doClick();
  EXPECT_EQ(host.calls, (QStringList{"rom " + roms, "poplist", "rom " + roms, "poplist"}));
  // Cancelling runs nothing.
  dialogs.answer.reset();
  setup.romloc->doClick();
  EXPECT_EQ(host.calls.size(), 4);
  setup.setHost(nullptr);
}

TEST(SetupWindowFields, AQuotedEmulatorPathIsUsedWithoutItsQuotes) {
  TempDir tmp;
  const QString plain = QDir::toNativeSeparators(tmp.write("emu/neorage.exe", "MZ"));
  const QString spaced = QDir::toNativeSeparators(tmp.write("two words/neorage.exe", "MZ"));
  const QString spacedFolder =
      QDir::toNativeSeparators(tmp.file("two words")) + platform::pathSeparator();
  TFrmsetup setup;
  RecordingHost host;
  setup.setHost(&host);
  AnswerDialogs dialogs;
  setup.neoloc->setDialogs(&dialogs);
  dialogs.answer = plain;
  setup.neoloc->doClick();
  dialogs.answer = spaced;
  setup.neoloc->doClick();
  // The field keeps the chooser's quotes; what is handed on has none.
  EXPECT_EQ(setup.neoloc->text(), u'"' + spaced + u'"');
  EXPECT_EQ(setup.emulatorPath(), spaced);
  EXPECT_EQ(setup.neodir(), spacedFolder);
  ASSERT_FALSE(host.calls.isEmpty());
  EXPECT_EQ(host.calls.last(), "shots " + spacedFolder + "shots");
  setup.setHost(nullptr);
}

struct QuotedFolderCase {
  const char *name;
  const char *field;
  const char *call; // what the host is asked, before the folder
};

class QuotedFolderField : public ::testing::TestWithParam<QuotedFolderCase> {};

TEST_P(QuotedFolderField, IsAFolderWithoutItsQuotes) {
  TempDir tmp;
  const QString folder = QDir::toNativeSeparators(tmp.mkdir("my roms"));
  TFrmsetup setup;
  RecordingHost host;
  setup.setHost(&host);
  auto *edit = setup.findChild<TDirectoryEdit *>(GetParam().field);
  ASSERT_NE(edit, nullptr);
  edit->setTextValue(u'"' + folder + u'"');
  EXPECT_EQ(host.calls, (QStringList{GetParam().call + folder, "poplist"}));
  setup.setHost(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, QuotedFolderField,
                         ::testing::Values(QuotedFolderCase{"roms", "romloc", "rom "},
                                           QuotedFolderCase{"cdroms", "cdromloc", "cd "}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SetupWindowGameList, IsAFifthPathFieldThatFitsTheWindow) {
  TFrmsetup setup;
  ASSERT_EQ(setup.findChild<TFilenameEdit *>("datloc"), setup.datloc);
  EXPECT_EQ(setup.datloc->geometry(), QRect(113, 98, 204, 22));
  EXPECT_EQ(setup.datloc->glyphKind(), TCustomComboEdit::gkEllipsis);
  EXPECT_EQ(setup.datloc->filter(), "Game lists|*.dat;*.xml|All files (*.*)|*.*");
  EXPECT_EQ(toNameFilters(setup.datloc->filter()),
            (QStringList{"Game lists (*.dat *.xml)", "All files (*.*) (*)"}));
  EXPECT_EQ(setup.datloc->placeholderText(), "the first list in the ROM folder");
  // Every control lies inside the window and none but the background
  // overlaps another.
  const QRect window(QPoint(0, 0), setup.size());
  const QList<QWidget *> controls = setup.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
  for (const QWidget *a : controls) {
    if (a == setup.Background1)
      continue;
    EXPECT_TRUE(window.contains(a->geometry())) << a->objectName().toStdString();
    for (const QWidget *b : controls) {
      if (a != b && b != setup.Background1 && !a->isHidden() && !b->isHidden()) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " and " << b->objectName().toStdString();
      }
    }
  }
  EXPECT_EQ(setup.Background1->geometry(), window);
}

TEST(SetupWindowGameList, TheChosenListIsSavedAndComesBack) {
  TempDir tmp;
  const QString list = QDir::toNativeSeparators(tmp.write("lists/games.dat", "<datafile/>"));
  const QString ini = tmp.file("vantor.INI");
  RecordingHost host;
  {
    TFrmsetup setup;
    setup.FormStorage1->setIniFileName(ini);
    setup.setHost(&host);
    setup.FormStorage1->LoadWindowSettings();
    AnswerDialogs dialogs;
    setup.datloc->setDialogs(&dialogs);
    dialogs.answer = list;
    setup.datloc->doClick();
    // The main window reads it as it rebuilds the catalogue.
    EXPECT_EQ(host.calls, QStringList{"poplist"});
    // A name that is no file yet (typed part way) is not read.
    setup.datloc->setTextValue(list + "x");
    EXPECT_EQ(host.calls.size(), 1);
    setup.datloc->setTextValue(list);
    setup.FormStorage1->StoreWindowSettings();
    setup.setHost(nullptr);
  }
  EXPECT_TRUE(test::contents(ini).contains("datloc_Text=" + list.toUtf8() + '\n'))
      << test::contents(ini).toStdString();
  TFrmsetup again;
  again.FormStorage1->setIniFileName(ini);
  again.setHost(&host);
  again.FormStorage1->LoadWindowSettings();
  EXPECT_EQ(again.datloc->text(), list);
  EXPECT_EQ(again.gameListFile(), list);
  EXPECT_EQ(host.calls.last(), "poplist");
  // Emptied, it means the ROM folder's own list again, and is saved empty.
  again.datloc->setTextValue({});
  EXPECT_EQ(again.gameListFile(), QString());
  again.FormStorage1->StoreWindowSettings();
  again.setHost(nullptr);
  EXPECT_TRUE(test::contents(ini).contains("datloc_Text=\n"));
}

} // namespace
