#include "launcher/gamelistloader.h"

#include "gamelist/gamelistreader.h"
#include "platform/errors.h"

#include <QDir>

#include <new>
#include <utility>

namespace vantor {

GameListLoader::GameListLoader(QObject *parent)
    : QObject(parent), results_(this, [](std::function<void()> &&emitIt) { emitIt(); }) {}

// A list being read stops first.
GameListLoader::~GameListLoader() {
  for (Reader &reader : readers_)
    *reader.stop = true;
  for (Reader &reader : readers_)
    reader.thread.join();
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
  reapFinishedReaders();
  // Every list still being read was asked for before this one.
  for (Reader &reader : readers_)
    *reader.stop = true;
  ++readsStarted_;
  auto stop = std::make_shared<std::atomic_bool>(false);
  auto done = std::make_shared<std::atomic_bool>(false);
  readers_.push_back(
      {std::thread(&GameListLoader::read, this, chosen_, romFolder_, generation_, stop, done), stop,
       done});
}

// On a reader thread.
void GameListLoader::read(const QString &chosen, const QString &romFolder, quint64 generation,
                          const std::shared_ptr<std::atomic_bool> &stop,
                          const std::shared_ptr<std::atomic_bool> &done) {
  std::shared_ptr<const gamelist::GameList> list;
  QString file, error;
  // Nothing may escape a reader thread: what stopped it is reported.
  try {
    file = listFileFor(chosen, romFolder);
    if (!file.isEmpty())
      list = gamelist::GameListReader::readFile(file, stop.get());
  } catch (const Error &e) {
    error = e.message();
  } catch (const std::bad_alloc &) {
    error = QStringLiteral("The game list %1 cannot be read: out of memory").arg(file);
  } catch (...) {
    error = QStringLiteral("The game list %1 cannot be read").arg(file);
  }
  results_.post([this, generation, list = std::move(list), error] {
    // A list asked for later replaces this one.
    if (generation == generation_)
      emit loaded(list, error);
  });
  *done = true;
}

void GameListLoader::reapFinishedReaders() {
  std::erase_if(readers_, [](Reader &reader) {
    if (!*reader.done)
      return false;
    reader.thread.join();
    return true;
  });
}

} // namespace vantor
