// The setup window as a newcomer meets it: with no settings file its path
// fields say what goes in them and a line says where to begin.
#include "controls/background.h"
#include "controls/shadowlabel.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"

#include <QFile>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::TempDir;

namespace {

class FirstStart : public ::testing::Test {
protected:
  FirstStart() { setup.FormStorage1->setIniFileName(ini); }
  QString fileText() const {
    QFile file(ini);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  TempDir dir;
  QString ini = dir.file("vantor.INI");
  TFrmsetup setup;
};

TEST_F(FirstStart, EmptyPathFieldsSayWhatGoesInThem) {
  setup.show();
  const struct {
    TCustomComboEdit *field;
    const char *says;
  } fields[] = {{setup.neoloc, "emulator program"},
                {setup.romloc, "ROM zips"},
                {setup.cdromloc, "CD-ROM folder (optional)"},
                {setup.Snapsloc, "snapshots folder"}};
  for (const auto &f : fields) {
    const QString name = f.field->objectName();
    EXPECT_TRUE(f.field->text().isEmpty()) << name.toStdString();
    EXPECT_TRUE(f.field->placeholderText().contains(QLatin1String(f.says)))
        << name.toStdString() << ": " << f.field->placeholderText().toStdString();
    // Left of the browse button, with the edit's margins.
    const int room = f.field->width() - f.field->buttonWidth() - 8;
    EXPECT_LE(QFontMetrics(f.field->font()).horizontalAdvance(f.field->placeholderText()), room)
        << name.toStdString();
  }
}

TEST_F(FirstStart, TheHintFitsItsPlaceAndCoversNoControl) {
  setup.show();
  ASSERT_TRUE(setup.pathsHint->isVisible());
  EXPECT_LE(setup.pathsHint->fittedSize().width(), setup.pathsHint->width());
  EXPECT_LE(setup.pathsHint->fittedSize().height(), setup.pathsHint->height());
  for (QWidget *other : setup.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
    if (other == setup.pathsHint || other == setup.Background1)
      continue;
    EXPECT_FALSE(other->geometry().intersects(setup.pathsHint->geometry()))
        << other->objectName().toStdString();
  }
}

// The placeholders are no text: closing saves the fields as empty.
TEST_F(FirstStart, ThePlaceholdersAreNotSaved) {
  setup.show();
  setup.close();
  const QString saved = fileText();
  ASSERT_TRUE(saved.contains("neoloc_Text=\n")) << saved.toStdString();
  for (TCustomComboEdit *field : {static_cast<TCustomComboEdit *>(setup.neoloc),
                                  static_cast<TCustomComboEdit *>(setup.romloc),
                                  static_cast<TCustomComboEdit *>(setup.cdromloc),
                                  static_cast<TCustomComboEdit *>(setup.Snapsloc)})
    EXPECT_FALSE(saved.contains(field->placeholderText())) << saved.toStdString();
}

// The hint is there while the emulator or the ROM folder is not chosen.
TEST_F(FirstStart, TheHintGoesOnceTheEmulatorAndTheRomFolderAreChosen) {
  setup.show();
  setup.neoloc->setTextValue(dir.file("neorage"));
  EXPECT_TRUE(setup.pathsHint->isVisible());
  setup.romloc->setTextValue(dir.file("roms"));
  EXPECT_FALSE(setup.pathsHint->isVisible());
  setup.romloc->setTextValue(QString());
  EXPECT_TRUE(setup.pathsHint->isVisible());
  setup.romloc->setTextValue(dir.file("roms"));
  setup.neoloc->setTextValue(QString());
  EXPECT_TRUE(setup.pathsHint->isVisible());
}

TEST_F(FirstStart, StoredPathsShowNoHint) {
  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[setup]\nneoloc_Text=/nowhere/neorage\nromloc_Text=/nowhere/roms\n");
  file.close();
  setup.show();
  EXPECT_EQ(setup.romloc->text(), "/nowhere/roms");
  EXPECT_FALSE(setup.pathsHint->isVisible());
}

} // namespace
