#include "launcher/gamelistloader.h"

#include "gamelist/gamelistreader.h"
#include "platform/errors.h"

#include <QDir>
#include <QMetaObject>

namespace vantor {

GameListLoader::GameListLoader(QObject *parent) : QObject(parent) {
  pool_.setMaxThreadCount(1);
}

GameListLoader::~GameListLoader() {
  pool_.waitForDone();
}

QString GameListLoader::listFileFor(const QString &chosen, const QString &romFolder) {
  if (!chosen.isEmpty())
    return chosen;
  if (romFolder.isEmpty())
    return {};
  const QDir folder(romFolder);
  const QStringList candidates =
      folder.entryList({QStringLiteral("*.dat"), QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
  for (const QString &name : candidates)
    if (gamelist::GameListReader::looksLikeGameList(folder.filePath(name)))
      return folder.filePath(name);
  return {};
}

void GameListLoader::load(const QString &chosen, const QString &romFolder) {
  // A chosen list does not depend on the folder: it is read, and reported,
  // once however often the folder changes.
  const QString folder = chosen.isEmpty() ? romFolder : QString();
  if (asked_ && chosen == chosen_ && folder == romFolder_)
    return;
  asked_ = true;
  chosen_ = chosen;
  romFolder_ = folder;
  ++generation_;
  if (startPending_)
    return;
  startPending_ = true;
  QMetaObject::invokeMethod(this, &GameListLoader::startLatest, Qt::QueuedConnection);
}

void GameListLoader::startLatest() {
  startPending_ = false;
  const quint64 generation = generation_;
  pool_.start([this, chosen = chosen_, romFolder = romFolder_, generation] {
    std::shared_ptr<const gamelist::GameList> list;
    QString error;
    try {
      const QString file = listFileFor(chosen, romFolder);
      if (!file.isEmpty())
        list = gamelist::GameListReader::readFile(file);
    } catch (const Error &e) {
      error = e.message();
    }
    QMetaObject::invokeMethod(
        this,
        [this, generation, list = std::move(list), error] {
          // A list asked for later replaces this one.
          if (generation == generation_)
            emit loaded(list, error);
        },
        Qt::QueuedConnection);
  });
}

} // namespace vantor
