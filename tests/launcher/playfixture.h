#pragma once

// Playing a game against a stand-in emulator script that records what it was
// given and leaves a screenshot, as the real one does.
#include "archive/zipextractor.h"
#include "controls/edit.h"
#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "launcher/mainwindow.h"
#include "linkedwindows.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"
#include "support/wait.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <memory>

namespace vantor::test {

inline const char *EmulatorScript = R"(#!/bin/sh
printf '%s\n' "$@" > args.txt
pwd > cwd.txt
ls -A "$1" > listing.txt 2>&1
n=$(ls shots | wc -l)
cp sample.bmp "shots/shot000$((n + 1)).bmp"
)";

inline QStringList lines(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

class Play : public test::LinkedWindows {
public:
  void SetUp() override {
    // Blanks in every path: each must still reach the emulator as one argument.
    root = dir.mkdir("my games");
    neo = root + "/neo emu/";
    QDir().mkpath(neo + "shots");
    QImage sample(8, 8, QImage::Format_RGB888);
    sample.fill(Qt::green);
    sample.save(neo + "sample.bmp", "BMP");
    writeEmulator(EmulatorScript);
    QDir().mkpath(root + "/roms");
    QDir().mkpath(root + "/cd");
    QDir().mkpath(root + "/snaps");

    main.ZipExtractor1->setDLLDirectory(qEnvironmentVariable("VANTOR_BIN_DIR"));
    presenter = std::make_unique<ScopedMessagePresenter>(
        [this](const UserMessage &message) { errors << message.text; });
    // The big skin, so the preview is live.
    main.FormShaper1->maskedPicture()->setPicture(main.backbig->picture());
  }
  void TearDown() override { presenter.reset(); }

  void writeEmulator(const char *script) {
    QFile f(neo + "neorage");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(script);
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
  }

  // A zip of the given files, made with the zip tool from a staging folder.
  void makeZip(const QString &zipPath, const QStringList &files) {
    TempDir stage;
    for (const QString &name : files)
      stage.write(name, name.toUtf8());
    runZip(stage, {"-q", "-r", zipPath, "."});
  }
  // Two stored entries of `size` bytes, without extra fields, so their
  // offsets are known.
  void makeStoredZip(const QString &zipPath, int size) {
    TempDir stage;
    stage.write("a.rom", QByteArray(size, 'a'));
    stage.write("b.rom", QByteArray(size, 'b'));
    runZip(stage, {"-q", "-0", "-X", zipPath, "a.rom", "b.rom"});
  }
  void runZip(const TempDir &stage, const QStringList &arguments) {
    QProcess zip;
    zip.setWorkingDirectory(stage.path());
    zip.start("zip", arguments);
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0);
  }

  void configure() {
    setup.neoloc->setTextValue(neo + "neorage");
    setup.Snapsloc->setTextValue(root + "/snaps");
    setup.cdromloc->setTextValue(root + "/cd");
    setup.romloc->setTextValue(root + "/roms");
  }

  QString scratch() const { return neo + "~del~~"; }

  // Presses play as the button does and lets the event loop run the game to
  // its end.
  void playAndWait() {
    callHandler(main.play->OnClick, main.play);
    ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }))
        << "the game never ended";
  }

  QString root, neo;
  QStringList errors;
  std::unique_ptr<ScopedMessagePresenter> presenter;
};

} // namespace vantor::test
