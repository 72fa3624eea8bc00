// The storage's hooks on its window's show, close-request and destroy events,
// and what a refused write does.

#include "controls/form.h"
#include "formstorage_testing.h"
#include "platform/errors.h"
#include "settings/formstorage.h"
#include "support/scopedhook.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <utility>

namespace vantor {
namespace {

using test::fileLines;
using test::writeLines;

class FormStorageEvents : public ::testing::Test {
protected:
  // A window with an edit whose text is stored; its own handlers, if any,
  // are assigned before the storage hooks them, as a window does.
  TForm *makeForm(const std::function<void(TForm *)> &ownHandlers = {}) {
    auto *form = new TForm;
    form->setFixedSize(100, 80);
    form->move(40, 50);
    edit = new QLineEdit(form);
    edit->setObjectName(QStringLiteral("edit"));
    if (ownHandlers)
      ownHandlers(form);
    storage = addFormStorage(form, QStringLiteral("win"), TFormPlacement::fpPosition,
                             {QStringLiteral("edit.text")});
    storage->setIniFileName(path);
    return form;
  }
  QString value(const QString &key) const {
    for (const QString &line : fileLines(path))
      if (line.startsWith(key + u'='))
        return line.mid(key.size() + 1);
    return QStringLiteral("<missing>");
  }

  test::TempDir dir;
  QString path = dir.file(QStringLiteral("EVENTS.INI"));
  test::FixedScreen screen;
  test::RecordedErrors errors;
  QLineEdit *edit = nullptr;
  TFormStorage *storage = nullptr;
};

TEST_F(FormStorageEvents, ShowRestoresBeforeTheWindowsOwnHandler) {
  writeLines(path, {QStringLiteral("[win]"), QStringLiteral("NormPos=7,8"),
                    QStringLiteral("edit_text=stored")});
  QString seen;
  std::unique_ptr<TForm> form(makeForm([&](TForm *f) {
    f->OnShow = [&, f](QObject *sender) {
      seen = QStringLiteral("%1 at %2,%3 restored=%4")
                 .arg(edit->text())
                 .arg(f->x())
                 .arg(f->y())
                 .arg(storage->isRestored());
      EXPECT_EQ(sender, f);
    };
  }));
  form->show();
  EXPECT_EQ(seen, QStringLiteral("stored at 7,8 restored=1"));
  EXPECT_EQ(storage->objectName(), QStringLiteral("FormStorage1"));
}

TEST_F(FormStorageEvents, AnInactiveStorageNeitherRestoresNorSaves) {
  writeLines(path, {QStringLiteral("[win]"), QStringLiteral("edit_text=stored")});
  const QStringList before = fileLines(path);
  std::unique_ptr<TForm> form(makeForm());
  storage->setActive(false);
  form->show();
  EXPECT_EQ(edit->text(), QString());
  form->close();
  form.reset();
  EXPECT_EQ(fileLines(path), before);
}

TEST_F(FormStorageEvents, CloseSavesAfterTheWindowsOwnHandlerAndOnlyIfItMayClose) {
  for (const bool mayClose : {false, true}) {
    QFile::remove(path);
    QString fileWhenAsked = QStringLiteral("unset");
    std::unique_ptr<TForm> form(makeForm([&](TForm *f) {
      f->OnCloseQuery = [&, f](QObject *sender, bool &canClose) {
        EXPECT_EQ(sender, f);
        fileWhenAsked = value(QStringLiteral("edit_text"));
        canClose = mayClose;
      };
    }));
    form->show();
    edit->setText(QStringLiteral("typed"));
    form->close();
    EXPECT_EQ(fileWhenAsked, QStringLiteral("<missing>"));
    EXPECT_EQ(form->isVisible(), !mayClose);
    EXPECT_EQ(value(QStringLiteral("edit_text")),
              mayClose ? QStringLiteral("typed") : QStringLiteral("<missing>"));
    EXPECT_EQ(storage->isSaved(), mayClose);
    storage->setActive(false); // keep the destroy event out of this case
  }
}

TEST_F(FormStorageEvents, ClosingAWindowThatNeverExistedOnScreenSavesNothing) {
  std::unique_ptr<TForm> form(makeForm());
  storage->LoadWindowSettings();
  form->close();
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(storage->isSaved());
}

struct DestroyCase {
  const char *name;
  std::function<void(TForm *, QLineEdit *)> before; // what happens before the window goes
  const char *visible;                              // "Visible" afterwards, or "<missing>"
  const char *text;                                 // edit_text afterwards
};

TEST_F(FormStorageEvents, TheDestroyEventSavesOnlyWhatWasRestoredAndNotSavedSince) {
  const DestroyCase cases[] = {
      {"never restored", [](TForm *, QLineEdit *e) { e->setText(QStringLiteral("x")); },
       "<missing>", "<missing>"},
      {"restored, not saved",
       [](TForm *f, QLineEdit *e) {
         f->show();
         e->setText(QStringLiteral("at end"));
       },
       "1", "at end"},
      {"saved by a close since",
       [](TForm *f, QLineEdit *e) {
         f->show();
         e->setText(QStringLiteral("closed"));
         f->close();
         e->setText(QStringLiteral("after close"));
       },
       "0", "closed"},
      {"restored again after the close",
       [](TForm *f, QLineEdit *e) {
         f->show();
         f->close();
         f->show();
         e->setText(QStringLiteral("second time"));
       },
       "1", "second time"},
  };
  for (const DestroyCase &c : cases) {
    QFile::remove(path);
    QString visibleSeenByOwnHandler = QStringLiteral("unset");
    TForm *form = makeForm([&](TForm *f) {
      f->OnDestroy = [&](QObject *) { visibleSeenByOwnHandler = value(QStringLiteral("Visible")); };
    });
    c.before(form, edit);
    delete form;
    EXPECT_EQ(value(QStringLiteral("Visible")), QLatin1String(c.visible)) << c.name;
    EXPECT_EQ(value(QStringLiteral("edit_text")), QLatin1String(c.text)) << c.name;
    EXPECT_EQ(visibleSeenByOwnHandler, QLatin1String(c.visible)) << c.name;
  }
  EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(FormStorageEvents, ARefusedSaveIsShownTheWindowClosesAndTheEndRetries) {
  std::unique_ptr<TForm> form(makeForm());
  form->show();
  edit->setText(QStringLiteral("kept"));
  {
    test::RefusedWrites refused;
    form->close();
  }
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(errors.messages, QStringList{QStringLiteral("Unable to write to %1.").arg(path)});
  EXPECT_FALSE(storage->isSaved());
  EXPECT_FALSE(QFile::exists(path));
  form.reset();
  EXPECT_EQ(value(QStringLiteral("edit_text")), QStringLiteral("kept"));
  EXPECT_EQ(value(QStringLiteral("Visible")), QStringLiteral("1"));
}

TEST_F(FormStorageEvents, ASaveIsOneReplacementOfTheFileAndAllOrNothing) {
  writeLines(path, {QStringLiteral("[other]"), QStringLiteral("kept=1")});
  std::unique_ptr<TForm> form(makeForm());
  form->show();
  edit->setText(QStringLiteral("kept"));
  int replacements = 0;
  bool failed = false;
  {
    const test::ScopedHook fault(
        platform::ProfileFile::setSaveFault, [&](platform::ProfileFile::SaveStep step) {
          replacements += step == platform::ProfileFile::SaveStep::Rename;
          return step == platform::ProfileFile::SaveStep::Write && !std::exchange(failed, true);
        });
    EXPECT_THROW(storage->StoreWindowSettings(), InOutError);
    EXPECT_EQ(fileLines(path), (QStringList{QStringLiteral("[other]"), QStringLiteral("kept=1")}));
    EXPECT_FALSE(storage->isSaved());
    EXPECT_EQ(storage->iniFile(), nullptr);
    storage->StoreWindowSettings();
  }
  EXPECT_EQ(replacements, 1);
  EXPECT_TRUE(storage->isSaved());
  EXPECT_EQ(value(QStringLiteral("Visible")), QStringLiteral("0"));
  EXPECT_EQ(value(QStringLiteral("edit_text")), QStringLiteral("kept"));
  storage->setActive(false);
}

TEST_F(FormStorageEvents, AnErrorInTheRestoreIsShownAndTheShowGoesOn) {
  bool ownShowRan = false;
  std::unique_ptr<TForm> form(
      makeForm([&](TForm *f) { f->OnShow = [&](QObject *) { ownShowRan = true; }; }));
  storage->OnRestorePlacement = [](QObject *) {
    throw InOutError(QStringLiteral("Unable to write to somewhere"));
  };
  form->show();
  EXPECT_TRUE(ownShowRan);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(errors.messages, QStringList{QStringLiteral("Unable to write to somewhere.")});
  storage->setActive(false);
}

TEST_F(FormStorageEvents, TheErrorIsAnErrorUnderTheApplicationsTitle) {
  std::unique_ptr<TForm> form(makeForm());
  form->show();
  UserMessage shown;
  {
    const ScopedMessagePresenter presenter([&](const UserMessage &m) { shown = m; });
    test::RefusedWrites refused;
    form->close();
  }
  EXPECT_EQ(shown.icon, MessageIcon::Error);
  EXPECT_TRUE(shown.title.isEmpty()) << "empty: the application's title";
  EXPECT_EQ(shown.text, QStringLiteral("Unable to write to %1.").arg(path));
  EXPECT_FALSE(form->isVisible());
}

} // namespace
} // namespace vantor
