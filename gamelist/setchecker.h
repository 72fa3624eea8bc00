#pragma once

#include "gamelist/gamelist.h"
#include "gamelist/setcheck.h"

#include "platform/workermailbox.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace vantor::gamelist {

// Checks the sets of a catalogue in the background, one archive after
// another, and hands each result to the thread that owns it. Archive
// listings come from the cache file when the archives are unchanged.
class SetChecker final : public QObject {
  Q_OBJECT
public:
  explicit SetChecker(QString cacheFile, QObject *parent = nullptr);
  ~SetChecker() override;

  // Checks each archive of `archives` (full paths) against `list`; parents'
  // and BIOS archives are looked for in `folders`, in that order. A check
  // still running is stopped first and its results are dropped.
  void start(std::shared_ptr<const GameList> list, QStringList archives, QStringList folders);
  void stop();

signals:
  // `index` is the archive's place in the list given to start().
  void checked(int index, const vantor::gamelist::SetCheck &check);
  void finished();

private:
  QString cacheFile_;
  // Its results are signals to emit on the owner's thread.
  platform::SingleWorker<std::function<void()>> worker_;
};

// The archive of a set in the first of `folders` that holds one.
class FolderListings final {
public:
  FolderListings(class ListingCache &cache, QStringList folders);
  const ArchiveListing *operator()(const QString &setName);

private:
  ListingCache &cache_;
  QStringList folders_;
  // Parents and BIOS sets are asked for by every clone.
  QHash<QString, const ArchiveListing *> found_;
};

// Checks one archive's set, reading the archives it needs afresh (at play,
// when the background check has not reached it yet).
SetCheck checkArchive(const GameList &list, const QString &archivePath, const QStringList &folders);

} // namespace vantor::gamelist
