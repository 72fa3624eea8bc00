#include "controls/rotarydial.h"
#include "platform/sound.h"
#include "support/tempdir.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using vantor::TRotaryDial;
namespace platform = vantor::platform;

namespace {

// The first file among the program's embedded resources, as (type, name).
std::pair<QString, QString> anyEmbeddedFile() {
  QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    const QString type = info.path().mid(2); // drop ":/"
    if (!type.isEmpty())
      return {type, info.fileName()};
  }
  return {};
}

// A stand-in wave player on the search path: it logs its arguments, copies
// the wave it was given and, when the wave's name says so, plays until it is
// stopped: it holds the write end of a pipe the test reads, so the pipe's end
// tells the test the player is gone.
class SoundServiceTest : public ::testing::Test {
protected:
  void SetUp() override {
    oldPath_ = qgetenv("PATH");
    log_ = temp_.file(QStringLiteral("log.txt"));
    copy_ = temp_.file(QStringLiteral("copy.wav"));
    const QString playing = temp_.file(QStringLiteral("playing"));
    ASSERT_EQ(mkfifo(QFile::encodeName(playing).constData(), 0600), 0);
    // Opened first and without waiting, so the player's open finds a reader.
    playing_ = open(QFile::encodeName(playing).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(playing_, 0);
    const QString script =
        QStringLiteral("#!/bin/sh\n"
                       "echo \"$@\" >> '%1'\n"
                       "/bin/cat \"$2\" > '%2'\n"
                       "case \"$2\" in *long*) exec 3> '%3'; echo up >&3; read never;; esac\n")
            .arg(log_, copy_, playing);
    const QString player = temp_.write(QStringLiteral("bin/aplay"), script.toUtf8());
    QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFileInfo(player).path().toLocal8Bit());
  }
  void TearDown() override {
    platform::stopSound();
    qputenv("PATH", oldPath_);
    if (playing_ >= 0)
      close(playing_);
  }

  // Waits (at most `ms`) for the long player to say it is up; false if not.
  bool playerUp(int ms = 5000) const {
    pollfd fd{playing_, POLLIN, 0};
    char line[8];
    return poll(&fd, 1, ms) == 1 && (fd.revents & POLLIN) && read(playing_, line, 3) == 3;
  }
  // Has the long player gone? Its end closes the pipe: hang-up, or end of file.
  bool playerGone() const {
    pollfd fd{playing_, POLLIN, 0};
    char byte;
    return poll(&fd, 1, 0) == 1 && read(playing_, &byte, 1) == 0;
  }

  QStringList logged() const {
    QFile file(log_);
    if (!file.open(QIODevice::ReadOnly))
      return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QByteArray copied() const {
    QFile file(copy_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  vantor::test::TempDir temp_;
  int playing_ = -1;
  QByteArray oldPath_;
  QString log_;
  QString copy_;
};

TEST_F(SoundServiceTest, PlaysAnExistingWaveFileAndWaitsWhenSynchronous) {
  const QString wave = temp_.write(QStringLiteral("click.wav"), "RIFF-click");
  EXPECT_TRUE(platform::playSound({wave, {}, platform::sndSync}));
  EXPECT_EQ(logged(), QStringList({QStringLiteral("-q ") + wave}));
  EXPECT_EQ(copied(), QByteArray("RIFF-click"));
}

TEST_F(SoundServiceTest, MissingWavesAreSkippedWithoutError) {
  struct Row {
    const char *name;
    platform::SoundRequest request;
  };
  const Row rows[] = {
      {"missing file", {temp_.file(QStringLiteral("none.wav")), {}, platform::sndNoDefault}},
      {"empty name", {QString(), {}, platform::sndNoDefault | platform::sndSync}},
      {"empty image", {QString(), {}, platform::sndMemory | platform::sndNoDefault}},
      {"missing, default allowed", {temp_.file(QStringLiteral("none.wav")), {}, 0}},
  };
  for (const Row &row : rows)
    EXPECT_FALSE(platform::playSound(row.request)) << row.name;
  EXPECT_TRUE(logged().isEmpty());
}

TEST_F(SoundServiceTest, PlaysAWaveImageFromMemory) {
  EXPECT_TRUE(platform::playSound(
      {QString(), QByteArray("RIFF-image"), platform::sndMemory | platform::sndSync}));
  EXPECT_EQ(logged().size(), 1);
  EXPECT_EQ(copied(), QByteArray("RIFF-image"));
}

TEST_F(SoundServiceTest, NoStopSkipsWhileASoundPlaysOtherwiseItIsCut) {
  const QString longWave = temp_.write(QStringLiteral("long.wav"), "RIFF-long");
  const QString shortWave = temp_.write(QStringLiteral("short.wav"), "RIFF-short");
  ASSERT_TRUE(platform::playSound({longWave, {}, platform::sndAsync}));
  // Returned at once; the player is still going.
  ASSERT_TRUE(playerUp()) << "the stand-in player did not start";
  EXPECT_FALSE(playerGone());
  EXPECT_FALSE(platform::playSound({shortWave, {}, platform::sndAsync | platform::sndNoStop}));
  EXPECT_FALSE(playerGone());
  EXPECT_TRUE(platform::playSound({shortWave, {}, platform::sndSync}));
  EXPECT_TRUE(playerGone()); // cut by the new sound
  EXPECT_EQ(copied(), QByteArray("RIFF-short"));
  EXPECT_EQ(logged(),
            QStringList({QStringLiteral("-q ") + longWave, QStringLiteral("-q ") + shortWave}));
}

TEST_F(SoundServiceTest, StaysSilentWithoutAPlayer) {
  qputenv("PATH", temp_.mkdir(QStringLiteral("empty")).toLocal8Bit());
  const QString wave = temp_.write(QStringLiteral("click.wav"), "RIFF-click");
  EXPECT_FALSE(platform::playSound({wave, {}, platform::sndSync}));
}

TEST(EmbeddedSound, FindsResourcesByTypeAndName) {
  const auto [type, name] = anyEmbeddedFile();
  ASSERT_FALSE(name.isEmpty());
  QFile resource(QStringLiteral(":/") + type + QLatin1Char('/') + name);
  ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
  EXPECT_EQ(platform::embeddedSound(name, type), resource.readAll());
  EXPECT_EQ(platform::embeddedSound(name + QStringLiteral(".none"), type), std::nullopt);
  EXPECT_EQ(platform::embeddedSound(QString(), type), std::nullopt);
}

// The dial's change sound, heard through a listening service.
class DialSoundTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setSoundService([this](const platform::SoundRequest &request) {
      heard.push_back(request);
      return true;
    });
    dial.OnChange = [this](QObject *) { ++changes; };
  }
  void TearDown() override { platform::setSoundService({}); }

  TRotaryDial dial;
  std::vector<platform::SoundRequest> heard;
  int changes = 0;
};

TEST_F(DialSoundTest, ExeSoundPlaysTheEmbeddedImage) {
  const auto [type, name] = anyEmbeddedFile();
  dial.setSoundType(TRotaryDial::wssExe);
  dial.setSoundChange(name);
  dial.setResourceType(type);
  dial.setWaveOptions({TRotaryDial::woNoDefault});
  dial.setPosition(3);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].flags, platform::sndAsync | platform::sndNoDefault | platform::sndMemory);
  EXPECT_EQ(heard[0].image, platform::embeddedSound(name, type));
  EXPECT_FALSE(heard[0].image.isEmpty());
}

TEST_F(DialSoundTest, MissingExeSoundLeavesTheChangeStanding) {
  dial.setSoundType(TRotaryDial::wssExe);
  dial.setSoundChange(QStringLiteral("NOSUCHSOUND"));
  dial.setResourceType(QStringLiteral("WAVE"));
  dial.setPosition(4);
  EXPECT_EQ(dial.position(), 4);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(heard.empty());
}

TEST_F(DialSoundTest, SoundTypeChoosesTheSource) {
  struct Row {
    TRotaryDial::TWhereSoundStore type;
    bool heard;
  };
  dial.setSoundChange(QStringLiteral("/waves/tick.wav"));
  int position = 0;
  for (const Row row : {Row{TRotaryDial::wssWav, true}, Row{TRotaryDial::wssNone, false}}) {
    heard.clear();
    dial.setSoundType(row.type);
    dial.setPosition(++position);
    EXPECT_EQ(heard.size(), row.heard ? 1u : 0u) << row.type;
    if (row.heard) {
      EXPECT_EQ(heard[0].fileName, QStringLiteral("/waves/tick.wav"));
    }
  }
  EXPECT_EQ(changes, 2);
}

} // namespace
