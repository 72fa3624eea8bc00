#include "platform/sound.h"

#include "platform/files.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <memory>

namespace vantor::platform {
namespace {

// A synchronous sound blocks the caller; a stuck player must not hang it.
constexpr int kSyncLimitMs = 10000;
constexpr int kStartLimitMs = 2000;

SoundService &serviceOverride() {
  static SoundService service;
  return service;
}

// Plays wave files through a command-line player. One sound at a time, as
// the system service does: a new sound cuts the one playing unless told not to.
class WavePlayer final {
public:
  static WavePlayer &instance() {
    static WavePlayer player;
    return player;
  }

  bool play(const SoundRequest &request) {
    if ((request.flags & sndNoStop) && isPlaying())
      return false;
    stop();
    const QString file = waveFile(request);
    if (file.isEmpty()) {
      if (!(request.flags & sndNoDefault))
        defaultSound();
      return false;
    }
    const bool sync = !(request.flags & sndAsync);
    return start(file, !sync && (request.flags & sndLoop), sync);
  }

  void stop() {
    looping_ = false;
    if (!process_)
      return;
    const std::unique_ptr<QProcess> process = std::move(process_);
    process->disconnect();
    if (process->state() != QProcess::NotRunning) {
      process->kill();
      process->waitForFinished(kStartLimitMs);
    }
  }

private:
  // A sound still playing ends with the application, not later in the
  // program's static teardown.
  void stopWithApplication() {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app == watched_)
      return;
    watched_ = app;
    QObject::connect(app, &QObject::destroyed, [this] {
      stop();
      watched_ = nullptr;
    });
  }

  bool isPlaying() const { return process_ && process_->state() != QProcess::NotRunning; }

  // The file to hand the player: the named wave, or the image written out.
  QString waveFile(const SoundRequest &request) {
    if (!(request.flags & sndMemory))
      return fileExists(request.fileName) ? request.fileName : QString();
    if (request.image.isEmpty())
      return {};
    image_ = std::make_unique<QTemporaryFile>();
    if (!image_->open() || image_->write(request.image) != request.image.size())
      return {};
    image_->flush();
    return image_->fileName();
  }

  static void defaultSound() {
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
      QApplication::beep();
  }

  static QStringList playerCommand(const QString &file) {
    for (const char *name : {"pw-play", "paplay", "aplay"}) {
      const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
      if (program.isEmpty())
        continue;
      if (QLatin1String(name) == QLatin1String("aplay"))
        return {program, QStringLiteral("-q"), file};
      return {program, file};
    }
    return {};
  }

  bool start(const QString &file, bool loop, bool sync) {
    QStringList command = playerCommand(file);
    if (command.isEmpty())
      return false;
    auto started = std::make_unique<QProcess>();
    started->setProgram(command.takeFirst());
    started->setArguments(command);
    started->setStandardOutputFile(QProcess::nullDevice());
    started->setStandardErrorFile(QProcess::nullDevice());
    started->start();
    if (!started->waitForStarted(kStartLimitMs))
      return false;
    stopWithApplication();
    process_ = std::move(started);
    QProcess *process = process_.get();
    looping_ = loop;
    if (sync) {
      if (!process->waitForFinished(kSyncLimitMs))
        stop();
      return true;
    }
    QObject::connect(process, &QProcess::finished, process, [this, process] {
      if (process != process_.get())
        return;
      if (looping_)
        process->start();
    });
    return true;
  }

  std::unique_ptr<QProcess> process_;
  std::unique_ptr<QTemporaryFile> image_;
  bool looping_ = false;
  const QCoreApplication *watched_ = nullptr;
};

} // namespace

bool playSound(const SoundRequest &request) {
  if (serviceOverride())
    return serviceOverride()(request);
  return WavePlayer::instance().play(request);
}

void stopSound() {
  WavePlayer::instance().stop();
}

std::optional<QByteArray> embeddedSound(const QString &name, const QString &type) {
  if (name.isEmpty())
    return std::nullopt;
  const QString path = type.isEmpty() ? QStringLiteral(":/") + name
                                      : QStringLiteral(":/") + type + QLatin1Char('/') + name;
  QFile resource(path);
  if (!resource.open(QIODevice::ReadOnly))
    return std::nullopt;
  return resource.readAll();
}

void setSoundService(SoundService service) {
  serviceOverride() = std::move(service);
}

} // namespace vantor::platform
