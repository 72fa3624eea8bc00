// Playing a game through the main window, against a stand-in emulator.
#include "archive/zipextractor.h"
#include "archive/zipwriter.h"
#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/radiogroup.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "launcher/filelistbox.h"
#include "launcher/mainwindow.h"
#include "launcher/snapshotpreview.h"
#include "launcher/zipunpacker.h"
#include "linkedwindows.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"
#include "playfixture.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"
#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vantor;
using vantor::test::EmulatorScript;
using vantor::test::lines;
using vantor::test::Play;
using vantor::test::TempDir;

namespace {

TEST_F(Play, RunsTheEmulatorOnTheUnpackedGameAndPreviewsItsNewScreenshot) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1", "sub/pacman.s1"});
  configure();
  setup.scanlines->setItemIndex(2);
  setup.vsync->setItemIndex(0);
  setup.frameskip->setProperty("Value", 4);
  setup.addcmds->setTextValue("-sound 1");
  ASSERT_EQ(main.snapshotPreview().buttonMode(), SnapshotPreview::AdoptMode);

  playAndWait();

  EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
  EXPECT_EQ(lines(neo + "args.txt"), (QStringList{scratch(), "-s25", "-v", "-f4", "-sound", "1"}));
  EXPECT_EQ(lines(neo + "cwd.txt"), QStringList{QDir(neo).canonicalPath()});
  // Folder names inside the archive are not kept.
  EXPECT_EQ(lines(neo + "listing.txt"), (QStringList{"pacman.p1", "pacman.s1"}));
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_EQ(main.romname->caption(), "pacman");
  ASSERT_EQ(main.shotdir->count(), 1);
  EXPECT_EQ(main.shotdir->itemIndex(), 0);
  EXPECT_EQ(main.snapshotPreview().currentExtension(), ".bmp");
  EXPECT_EQ(main.snaps->picture().pixelColor(0, 0), QColor(Qt::green));
  EXPECT_EQ(main.snapshotPreview().buttonMode(), SnapshotPreview::AdoptMode);
}

TEST_F(Play, AGameWithASnapshotPreviewsNothingNew) {
  makeZip(root + "/roms/galaga.zip", {"galaga.p1"});
  QImage snap(4, 4, QImage::Format_RGB888);
  snap.fill(Qt::red);
  snap.save(root + "/snaps/galaga.bmp", "BMP");
  configure();
  ASSERT_EQ(main.snapshotPreview().buttonMode(), SnapshotPreview::DeleteMode);
  playAndWait();
  EXPECT_EQ(main.shotdir->count(), 1);
  EXPECT_EQ(main.shotdir->itemIndex(), -1);
  EXPECT_EQ(main.snaps->picture().pixelColor(0, 0), QColor(Qt::red));
}

TEST_F(Play, AnArchiveInBothFoldersIsTakenFromTheRomFolder) {
  makeZip(root + "/roms/kof.zip", {"from-roms"});
  makeZip(root + "/cd/kof.zip", {"from-cd"});
  configure();
  playAndWait();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"from-roms"});
  // The CD-ROM copy is the catalogue's second entry.
  main.RotaryDial1->setPosition(1);
  playAndWait();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"from-roms"});
}

TEST_F(Play, ALeftoverScratchFolderIsEmptiedFirstReadOnlyAndDotFilesIncluded) {
  makeZip(root + "/roms/mslug.zip", {"mslug.p1"});
  QDir().mkpath(scratch());
  QFile stale(scratch() + "/mslug.p1");
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("stale");
  stale.close();
  QFile ro(scratch() + "/old.rom");
  ASSERT_TRUE(ro.open(QIODevice::WriteOnly));
  ro.close();
  ::chmod(QFile::encodeName(ro.fileName()).constData(), 0444);
  // Dot-files go like everything else, the unzip library's partial ".vtmp-"
  // files among them: the scratch folder is the launcher's own.
  QFile(scratch() + "/.config").open(QIODevice::WriteOnly);
  QFile(scratch() + "/.vtmp-12ab-0").open(QIODevice::WriteOnly);
  configure();
  playAndWait();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"mslug.p1"});
  EXPECT_FALSE(QFileInfo::exists(scratch()));
}

TEST_F(Play, AScratchFolderThatIsALinkIsNeverUnpackedIntoOrEmptied) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  const QString outside = dir.mkdir("outside");
  QFile keep(outside + "/pacman.p1");
  ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
  keep.write("precious");
  keep.close();
  ASSERT_TRUE(QFile::link(outside, scratch()));
  configure();
  playAndWait();
  EXPECT_EQ(errors.size(), 1);
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_TRUE(QFileInfo(scratch()).isSymLink());
  ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
  EXPECT_EQ(keep.readAll(), "precious");
}

TEST_F(Play, ABrokenArchiveEndsTheHandlerBeforeTheEmulatorRuns) {
  // Cut in the middle of the second entry: the reader raises a stream error.
  makeStoredZip(root + "/roms/bad.zip", 2000);
  ASSERT_TRUE(QFile::resize(root + "/roms/bad.zip", 2500));
  configure();
  playAndWait();
  EXPECT_EQ(errors, QStringList{"Error 3 reading Zip file."});
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_EQ(main.romname->caption(), "bad");
}

TEST_F(Play, AnEmulatorThatCannotStartIsReportedAndTheScratchFolderStillGoes) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  configure();
  QFile::setPermissions(neo + "neorage", QFile::ReadOwner | QFile::WriteOwner);
  playAndWait();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(neo + "neorage")) << errors[0].toStdString();
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_EQ(main.romname->caption(), "pacman");
}

// Play with nothing to play says what is missing.
TEST_F(Play, WithoutAnEmulatorOrACataloguePlaySaysWhy) {
  configure(); // empty ROM folder: empty catalogue
  playAndWait();
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_EQ(main.romname->caption(), "< ROM NAME >");
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  main.poplist();
  setup.neoloc->setTextValue(neo + "missing");
  playAndWait();
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_EQ(errors, (QStringList{"There are no zip archives in the ROM or CD-ROM folder.",
                                 "Choose the emulator program in the setup window first."}));
}

// A stored entry whose data no longer matches its checksum: the library
// reports it, the emulator is not started on a partial game.
TEST_F(Play, AFailedExtractionIsShownOnceAndTheEmulatorNotStarted) {
  makeStoredZip(root + "/roms/bad.zip", 100);
  QFile bad(root + "/roms/bad.zip");
  ASSERT_TRUE(bad.open(QIODevice::ReadWrite));
  ASSERT_TRUE(bad.seek(30 + 5 + 10)); // into a.rom's data, behind its header and name
  bad.write("x");
  bad.close();
  configure();
  playAndWait();
  ASSERT_EQ(errors.size(), 1) << errors.join('|').toStdString();
  EXPECT_TRUE(errors[0].startsWith("Unpacking bad.zip failed:\n")) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains("a.rom")) << errors[0].toStdString();
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_EQ(main.romname->caption(), "bad");
}

// A Latin-1 name is listed and shown as best it can be, and the very same
// bytes name the archive that is unpacked.
TEST_F(Play, AnArchiveNameThatIsNotUtf8IsUnpacked) {
  makeZip(root + "/staged.zip", {"cafe.p1"});
  const QByteArray latin1 = QFile::encodeName(root) + "/roms/caf\xe9.zip";
  ASSERT_EQ(::rename(QFile::encodeName(root + "/staged.zip").constData(), latin1.constData()), 0);
  configure();
  ASSERT_NE(main.selectedEntry(), nullptr);
  EXPECT_EQ(main.selectedEntry()->fileName, QByteArray("caf\xe9.zip"));
  EXPECT_EQ(main.romname->caption(), QString::fromLatin1("caf\xe9"));
  playAndWait();
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"cafe.p1"});
}

// Relative folders mean the folder the program was started in, whatever
// list was read last.
TEST_F(Play, ARelativeRomFolderMeansTheStartFolder) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  const QString before = QDir::currentPath();
  setup.neoloc->setTextValue(neo + "neorage");
  setup.romloc->setTextValue(QDir(platform::startFolder()).relativeFilePath(root + "/roms"));
  ASSERT_EQ(main.listroms.names(), QStringList{"pacman.zip"});
  EXPECT_EQ(main.selectedEntry()->folder, QDir(root + "/roms").canonicalPath());
  playAndWait();
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"pacman.p1"});
  EXPECT_EQ(QDir::currentPath(), before);
}

// Quotes and tabs in the emulator's folder: the program still starts, and
// the scratch folder arrives as one argument.
TEST_F(Play, AnEmulatorFolderWithQuotesAndTabsStillStarts) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  neo = root + "/neo \"deluxe\"\tcd/";
  QDir().mkpath(neo + "shots");
  writeEmulator(EmulatorScript);
  QFile::copy(root + "/neo emu/sample.bmp", neo + "sample.bmp");
  configure();
  playAndWait();
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  EXPECT_EQ(lines(neo + "args.txt"), QStringList{scratch()});
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"pacman.p1"});
}

// Enter plays, whichever control has the focus.
TEST_F(Play, EnterPlaysTheSelectedGame) {
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  configure();
  QTest::keyClick(main.exitall, Qt::Key_Return);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  EXPECT_EQ(lines(neo + "listing.txt"), QStringList{"pacman.p1"});
}

// Escape pressed while the game unpacks: nothing starts, the scratch folder
// goes and the ROM name comes back. Other input meanwhile is dropped, not
// kept for later. (The worker's result comes home through the event loop,
// so the window is still unpacking until it turns, however quick the worker.)
TEST_F(Play, EscapeWhileUnpackingCancelsIt) {
  makeZip(root + "/roms/kof.zip", {"a.rom", "b.rom", "c.rom"});
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  configure();
  ASSERT_EQ(main.romName(), "kof");
  callHandler(main.play->OnClick, main.play);
  ASSERT_TRUE(main.playing());
  QTest::keyClick(main.RotaryDial1, Qt::Key_Right);
  QTest::mouseClick(main.dirfoward, Qt::LeftButton);
  QTest::keyClick(main.play, Qt::Key_Escape);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
  EXPECT_FALSE(QFileInfo::exists(neo + "args.txt"));
  EXPECT_FALSE(QFileInfo::exists(scratch()));
  EXPECT_EQ(main.romname->caption(), "kof");
  EXPECT_EQ(main.RotaryDial1->position(), 0);
  // Unlocked once the launch is over.
  QTest::keyClick(main.RotaryDial1, Qt::Key_Right);
  EXPECT_EQ(main.romname->caption(), "pacman");
}

struct UnpackCase {
  const char *name;
  bool streamed; // sizes after the data: the local headers carry none
  int stopAt;    // the report that says stop; 0 for none
  QList<QPair<qint64, qint64>> reports;
  int written;
};

void PrintTo(const UnpackCase &c, std::ostream *os) {
  *os << c.name;
}

class UnpackReports : public Play, public ::testing::WithParamInterface<UnpackCase> {};

// Through the real library: each file counts once it is written, by size
// when the headers give sizes, else by entry; a stop leaves no file behind.
TEST_P(UnpackReports, FollowTheFilesToTheTotal) {
  const UnpackCase &c = GetParam();
  test::ZipWriter writer;
  for (const auto &[name, size] : {std::pair{"a.rom", 5}, {"b.rom", 7}, {"c.rom", 11}}) {
    test::ZipItem item;
    item.name = name;
    item.data = QByteArray(size, name[0]);
    item.deflate = true;
    item.descriptor = c.streamed;
    writer.add(item);
  }
  const QString archive = root + "/game.zip";
  QFile file(archive);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(writer.build());
  file.close();

  ZipUnpacker unpacker(*main.ZipExtractor1);
  ASSERT_EQ(unpacker.open(QFile::encodeName(archive)).entries, 3);
  const QString out = dir.mkdir("out");
  QList<QPair<qint64, qint64>> reports;
  const ArchiveUnpacker::Outcome outcome = unpacker.unpack(out, [&](qint64 done, qint64 total) {
    reports << qMakePair(done, total);
    return reports.size() != c.stopAt;
  });
  EXPECT_EQ(reports, c.reports);
  EXPECT_EQ(outcome.cancelled, c.stopAt > 0);
  EXPECT_EQ(outcome.written, c.written);
  EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), c.written);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnpackReports,
    ::testing::Values(
        UnpackCase{
            "bySize", false, 0, {{5, 23}, {5, 23}, {12, 23}, {12, 23}, {23, 23}, {23, 23}}, 3},
        UnpackCase{"byEntry", true, 0, {{1, 3}, {1, 3}, {2, 3}, {2, 3}, {3, 3}, {3, 3}}, 3},
        UnpackCase{"stopped", false, 3, {{5, 23}, {5, 23}, {12, 23}}, 1}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
