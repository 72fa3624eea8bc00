#include "platform/errors.h"
#include "platform/files.h"
#include "platform/usermessage.h"
#include "settings/fileedits.h"
#include "support/counter.h"
#include "support/tempdir.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::Counter;
using vantor::test::TempDir;

namespace {

QString native(const QString &path) {
  return QDir::toNativeSeparators(path);
}

// Answers the choosers as a test says and remembers what it was asked.
class FakeDialogs final : public TPathDialogs {
public:
  std::optional<QString> answer;
  int calls = 0;
  FolderDialogRequest folder;
  FileDialogRequest file;
  std::function<void()> onShow;

  std::optional<QString> chooseFolder(QWidget *, const FolderDialogRequest &r) override {
    ++calls;
    folder = r;
    if (onShow)
      onShow();
    return answer;
  }
  std::optional<QString> chooseFile(QWidget *, const FileDialogRequest &r) override {
    ++calls;
    file = r;
    if (onShow)
      onShow();
    return answer;
  }
};

struct StartRow {
  const char *label;
  QString text;
  QString initialDir;
  QString expected;
};

TEST(DirectoryEdit, StartFolderRules) {
  TempDir tmp;
  const QString a = native(tmp.mkdir("a"));
  const QString b = native(tmp.mkdir("b"));
  const QString missing = native(tmp.file("missing"));
  const QString root = pathedit::rootFolder();
  const StartRow rows[] = {
      {"empty field, no initial folder", "", "", root},
      {"empty field uses InitialDir", "", a, a},
      {"missing InitialDir gives the root", "", missing, root},
      {"the field's folder wins", b, a, b},
      {"a typed missing folder gives the root", missing, a, root},
  };
  for (const auto &r : rows) {
    FakeDialogs dialogs;
    TDirectoryEdit edit;
    edit.setDialogs(&dialogs);
    edit.setText(r.text);
    edit.setInitialDir(r.initialDir);
    edit.doClick();
    EXPECT_EQ(dialogs.calls, 1) << r.label;
    EXPECT_EQ(dialogs.folder.startFolder, r.expected) << r.label;
    EXPECT_TRUE(dialogs.folder.native) << r.label;
  }
}

TEST(DirectoryEdit, CancelChangesNothing) {
  for (const QString &text : {QString(), QStringLiteral("abc")}) {
    FakeDialogs dialogs;
    TDirectoryEdit edit;
    edit.setDialogs(&dialogs);
    edit.setText(text);
    Counter change;
    edit.OnChange = change.handler();
    edit.doClick();
    EXPECT_EQ(dialogs.calls, 1);
    EXPECT_EQ(edit.text(), text);
    EXPECT_EQ(change.count(), 0);
    EXPECT_TRUE(edit.initialDir().isEmpty());
  }
}

TEST(DirectoryEdit, ChosenFolderReplacesTheWholeText) {
  TempDir tmp;
  const QString chosen = native(tmp.mkdir("roms"));
  FakeDialogs dialogs;
  dialogs.answer = chosen;
  TDirectoryEdit edit;
  edit.setDialogs(&dialogs);
  QTest::keyClicks(&edit, "/partly/ty");
  Counter change;
  edit.OnChange = change.handler();
  edit.doClick();
  EXPECT_EQ(edit.text(), chosen);
  EXPECT_EQ(change.count(), 1);
  EXPECT_EQ(edit.initialDir(), chosen);
  // The same folder again is no change.
  edit.doClick();
  EXPECT_EQ(change.count(), 1);
}

TEST(DirectoryEdit, TrailingSeparatorOnlyOnRoot) {
  TempDir tmp;
  const QString dir = tmp.mkdir("snaps");
  struct Row {
    QString answer, expected;
  } rows[] = {
      {dir + "/", native(dir)},
      {dir + "//", native(dir)},
      {dir, native(dir)},
      {QDir::rootPath(), native(QDir::rootPath())},
  };
  for (const auto &r : rows) {
    FakeDialogs dialogs;
    dialogs.answer = r.answer;
    TDirectoryEdit edit;
    edit.setDialogs(&dialogs);
    edit.doClick();
    EXPECT_EQ(edit.text(), r.expected) << r.answer.toStdString();
  }
}

TEST(DirectoryEdit, OnlyAnExistingFolderConfirms) {
  TempDir tmp;
  FakeDialogs dialogs;
  dialogs.answer = tmp.file("gone");
  TDirectoryEdit edit;
  edit.setDialogs(&dialogs);
  edit.setText("keep");
  edit.doClick();
  EXPECT_EQ(edit.text(), "keep");
  dialogs.answer = tmp.write("plain.txt", "x"); // a file is no folder
  edit.doClick();
  EXPECT_EQ(edit.text(), "keep");
}

TEST(DirectoryEdit, AFailedButtonHandlerIsReportedAndOpensNoChooser) {
  QStringList shown;
  const ScopedMessagePresenter presenter([&](const UserMessage &m) { shown << m.text; });
  FakeDialogs dialogs;
  TDirectoryEdit edit;
  edit.setDialogs(&dialogs);
  edit.OnButtonClick = [](QObject *) { throw Error(QStringLiteral("refused")); };
  edit.doClick();
  EXPECT_EQ(dialogs.calls, 0);
  EXPECT_EQ(shown, QStringList{QStringLiteral("refused.")});
}

TEST(DirectoryEdit, DialogEventsCanCancelOrChangeThePath) {
  TempDir tmp;
  const QString a = native(tmp.mkdir("a"));
  const QString b = native(tmp.mkdir("b"));
  FakeDialogs dialogs;
  dialogs.answer = a;
  TDirectoryEdit edit;
  edit.setDialogs(&dialogs);
  edit.OnBeforeDialog = [](TFileDirEdit *, QString &, bool &action) { action = false; };
  edit.doClick();
  EXPECT_EQ(dialogs.calls, 0);
  edit.OnBeforeDialog = {};
  edit.OnAfterDialog = [&](TFileDirEdit *, QString &name, bool &action) {
    EXPECT_TRUE(action);
    EXPECT_EQ(name, a);
    name = b;
  };
  edit.doClick();
  EXPECT_EQ(edit.text(), b);
}

TEST(FilenameEdit, QuotesChosenPathsWithBlanks) {
  TempDir tmp;
  const QString spaced = native(tmp.file("two words/neorage.exe"));
  const QString plain = native(tmp.file("emu/neorage.exe"));
  struct Row {
    QString answer, expected;
  } rows[] = {
      {spaced, u'"' + spaced + u'"'},
      {plain, plain},
      {u'"' + spaced, u'"' + spaced}, // already begins with a quote
  };
  for (const auto &r : rows) {
    FakeDialogs dialogs;
    dialogs.answer = r.answer;
    TFilenameEdit edit;
    edit.setDialogs(&dialogs);
    Counter change;
    edit.OnChange = change.handler();
    edit.doClick();
    EXPECT_EQ(edit.text(), r.expected);
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(edit.initialDir(), pathedit::extractFilePath(r.answer));
  }
}

TEST(FilenameEdit, RequestCarriesTitleFilterAndStartName) {
  TempDir tmp;
  const QString dir = native(tmp.mkdir("neo rage"));
  const QString exe = native(tmp.write("neo rage/neorage.exe", "MZ"));
  const QString other = native(tmp.mkdir("other"));
  struct Row {
    const char *label;
    QString text;
    QString initialDir, fileName; // expected in the request
  } rows[] = {
      {"an existing file is taken whole", exe, pathedit::extractFilePath(exe), exe},
      {"else the first command-line item", u'"' + exe + QStringLiteral("\" -x"),
       pathedit::extractFilePath(exe), exe},
      {"a folder with an empty name part", other + platform::pathSeparator(),
       other + platform::pathSeparator(), ""},
      {"an invalid name changes nothing", "<bad>", "", ""},
      {"an empty field changes nothing", "", "", ""},
  };
  for (const auto &r : rows) {
    FakeDialogs dialogs;
    TFilenameEdit edit;
    edit.setDialogs(&dialogs);
    edit.setFilter("Neorage|neorage.exe|All files (*.*)|*.*");
    edit.setText(r.text);
    edit.doClick();
    ASSERT_EQ(dialogs.calls, 1) << r.label;
    EXPECT_EQ(dialogs.file.title, "Browse") << r.label;
    EXPECT_EQ(dialogs.file.filter, "Neorage|neorage.exe|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.file.filterIndex, 1);
    EXPECT_FALSE(dialogs.file.save);
    EXPECT_EQ(dialogs.file.initialDir, r.initialDir) << r.label;
    EXPECT_EQ(dialogs.file.fileName, r.fileName) << r.label;
    EXPECT_EQ(edit.text(), r.text) << r.label; // cancelled
  }
  Q_UNUSED(dir);
}

TEST(PathEdit, AltDownOpensTheDialog) {
  FakeDialogs dialogs;
  TDirectoryEdit dirEdit;
  TFilenameEdit fileEdit;
  dirEdit.setDialogs(&dialogs);
  fileEdit.setDialogs(&dialogs);
  for (TFileDirEdit *edit :
       {static_cast<TFileDirEdit *>(&dirEdit), static_cast<TFileDirEdit *>(&fileEdit)}) {
    const int before = dialogs.calls;
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(dialogs.calls, before);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(dialogs.calls, before + 1);
  }
  dirEdit.setButtonWidth(0);
  QTest::keyClick(&dirEdit, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(dialogs.calls, 2);
}

TEST(PathEdit, ButtonClickFocusesThenNotifiesThenRunsDialog) {
  QWidget window;
  auto *other = new QLineEdit(&window);
  auto *edit = new TDirectoryEdit(&window);
  edit->setGeometry(0, 30, 204, 25);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  other->setFocus();
  QApplication::processEvents();
  FakeDialogs dialogs;
  edit->setDialogs(&dialogs);
  QStringList order;
  edit->OnButtonClick = [&](QObject *sender) {
    EXPECT_EQ(sender, edit);
    order << (edit->hasFocus() ? "click after focus" : "click without focus");
  };
  dialogs.onShow = [&] { order << "dialog"; };
  QTest::mouseClick(edit->button(), Qt::LeftButton);
  EXPECT_EQ(order, (QStringList{"click after focus", "dialog"}));
  EXPECT_TRUE(edit->hasFocus());
}

TEST(PathEdit, ButtonSitsInsideTheFrame) {
  EXPECT_EQ(comboButtonGeometry(QSize(204, 25), 21), QRect(181, 2, 21, 21));
  TFilenameEdit edit;
  edit.resize(204, 25);
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  EXPECT_EQ(edit.button()->geometry(), QRect(181, 2, 21, 21));
  edit.setButtonWidth(30);
  edit.resize(100, 30);
  EXPECT_EQ(edit.button()->geometry(), QRect(68, 2, 30, 26));
  EXPECT_EQ(edit.textMargins().right(), 32);
}

TEST(PathEdit, TextChangesRaiseOnChangeOnlyWhenDifferent) {
  TDirectoryEdit edit;
  Counter change;
  edit.OnChange = change.handler();
  EXPECT_TRUE(edit.setProperty("Text", "C"));
  EXPECT_EQ(change.count(), 1);
  edit.setProperty("Text", "C");
  EXPECT_EQ(change.count(), 1);
  QTest::keyClicks(&edit, "ab");
  EXPECT_EQ(change.count(), 3);
  EXPECT_EQ(edit.property("Text").toString(), "Cab");
}

TEST(PathEdit, EllipsisGlyph) {
  struct Row {
    int buttonWidth;
    int width;
    std::vector<int> dotColumns;
  } rows[] = {
      {21, 15, {1, 2, 6, 7, 11, 12}},
      {14, 8, {0, 1, 3, 4, 6, 7}},
      {16, 10, {0, 1, 4, 5, 8, 9}},
      {3, 1, {}},
  };
  for (const auto &r : rows) {
    const QImage g = ellipsisGlyph(r.buttonWidth);
    ASSERT_EQ(g.size(), QSize(r.width, 4)) << r.buttonWidth;
    std::vector<int> columns;
    for (int x = 0; x < g.width(); ++x) {
      const bool row1 = qAlpha(g.pixel(x, 1)) == 255;
      EXPECT_EQ(qAlpha(g.pixel(x, 2)) == 255, row1);
      EXPECT_EQ(qAlpha(g.pixel(x, 0)), 0);
      EXPECT_EQ(qAlpha(g.pixel(x, 3)), 0);
      if (row1) {
        EXPECT_EQ(g.pixel(x, 1) & 0xFFFFFF, 0u);
        columns.push_back(x);
      }
    }
    if (r.buttonWidth > 5) {
      EXPECT_EQ(columns, r.dotColumns) << r.buttonWidth;
    }
  }
}

TEST(PathEdit, Helpers) {
  struct Row {
    QString text, first;
  } items[] = {
      {"", ""},
      {"  plain  ", "plain"},
      {"a b", "a"},
      {"\"a b\" c", "a b"},
      {"x\"y z\"w rest", "xy zw"},
  };
  for (const auto &r : items)
    EXPECT_EQ(pathedit::firstCommandLineItem(r.text), r.first) << r.text.toStdString();
  for (const char *bad : {"", "a<b", "a>b", "a\"b", "a[b", "a]b", "a|b"})
    EXPECT_FALSE(pathedit::isValidFileName(bad)) << bad;
  EXPECT_TRUE(pathedit::isValidFileName("neorage.exe"));
  EXPECT_EQ(toNameFilters("Neorage|neorage.exe|All files (*.*)|*.*"),
            (QStringList{"Neorage (neorage.exe)", "All files (*.*) (*)"}));
  EXPECT_EQ(toNameFilters("Pictures|*.bmp;*.jpg"), (QStringList{"Pictures (*.bmp *.jpg)"}));
}

} // namespace
