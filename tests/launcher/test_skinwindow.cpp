#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "launcher/mainwindow.h"
#include "launcher/snapshotpreview.h"
#include "linkedwindows.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "support/modalanswer.h"
#include "support/tempdir.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace vantor;
using vantor::test::TempDir;

namespace {

class SkinWindow : public test::LinkedWindows {
protected:
  // Showing the main window without a ROM folder opens the setup window
  // modally; give it one first.
  void showMain() {
    dir.mkdir("roms");
    setup.romloc->setTextValue(dir.file("roms"));
    main.show();
  }
};

TEST_F(SkinWindow, TwoTogglesReturnToTheFirstSkinAndReShowTheSnapshot) {
  QImage snap(4, 4, QImage::Format_RGB888);
  snap.fill(Qt::red);
  dir.mkdir("snaps");
  ASSERT_TRUE(snap.save(dir.file("snaps/pacman.bmp"), "BMP"));
  dir.write("roms/pacman.zip");
  setup.Snapsloc->setTextValue(dir.file("snaps"));
  setup.romloc->setTextValue(dir.file("roms"));
  ASSERT_FALSE(main.bigSkinShown());
  EXPECT_EQ(main.width(), 316);

  main.previewCommand(main.preview);
  EXPECT_TRUE(main.bigSkinShown());
  EXPECT_EQ(main.FormShaper1->tag(), 1);
  EXPECT_EQ(main.size(), QSize(550, 340));
  EXPECT_EQ(main.snaps->picture().pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(main.snapshotPreview().buttonMode(), SnapshotPreview::DeleteMode);

  main.previewCommand(main.preview);
  EXPECT_FALSE(main.bigSkinShown());
  EXPECT_EQ(main.FormShaper1->tag(), 0);
  EXPECT_EQ(main.size(), QSize(316, 340));
  EXPECT_TRUE(main.snaps->picture().isNull());
  // The small skin leaves the extension and the mode as they were.
  EXPECT_EQ(main.snapshotPreview().currentExtension(), ".bmp");

  main.previewCommand(main.preview);
  EXPECT_EQ(main.snaps->picture().pixelColor(0, 0), QColor(Qt::red));
}

TEST_F(SkinWindow, DraggingMovesOnlyBeyondFivePixelsWithAnyButton) {
  main.move(100, 100);
  showMain();
  const QPoint origin = main.pos();
  struct Row {
    Qt::MouseButton button;
    QPoint to;
    bool moves;
  } rows[] = {{Qt::LeftButton, {15, 15}, false},
              {Qt::LeftButton, {5, 5}, false},
              {Qt::LeftButton, {16, 10}, true},
              {Qt::LeftButton, {10, 4}, true},
              {Qt::RightButton, {16, 10}, true}};
  for (const Row &row : rows) {
    main.move(origin);
    main.backMouseDown(main.back, row.button, {}, 10, 10);
    main.backMouseMove(main.back, {}, row.to.x(), row.to.y());
    main.backMouseUp(main.back, row.button, {}, row.to.x(), row.to.y());
    const QPoint expected = row.moves ? origin + row.to - QPoint(10, 10) : origin;
    EXPECT_EQ(main.pos(), expected) << row.to.x() << "," << row.to.y();
  }
  // After the release, moves do nothing.
  main.backMouseMove(main.back, {}, 60, 60);
  EXPECT_EQ(main.pos(), origin + QPoint(6, 0));
}

TEST_F(SkinWindow, ExitClosesAndSetupOpensModally) {
  showMain();
  bool wasModal = false;
  const test::ModalAnswer answer(&setup, [&](QWidget *) {
    wasModal = setup.isShowingModal();
    setup.close();
  });
  main.SetupClick(main.setup);
  EXPECT_EQ(answer.answers(), 1);
  EXPECT_TRUE(wasModal);
  main.exitallCommand(main.exitall);
  EXPECT_FALSE(main.isVisible());
}

} // namespace
