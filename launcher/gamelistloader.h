#pragma once

#include "platform/workermailbox.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace vantor {

namespace gamelist {
class GameList;
}

// The game list of a ROM folder: with none chosen, the first "*.dat" or
// "*.xml" in the folder whose root is a game list's. Read on a worker
// thread; the result comes back to the thread that owns the loader.
class GameListLoader final : public QObject {
  Q_OBJECT
public:
  explicit GameListLoader(QObject *parent = nullptr);
  ~GameListLoader() override;

  // The list to read: `chosen` when not empty, else the first in `romFolder`;
  // empty when there is none.
  static QString listFileFor(const QString &chosen, const QString &romFolder);

  // Finds (as listFileFor) and reads the list unless the same was asked for
  // last: the same chosen file, or with none chosen the same folder. The
  // folder is looked through on the worker too. Requests made one after the
  // other (a settings restore sets the ROM folder and then the chosen list)
  // start one read, of the last.
  void load(const QString &chosen, const QString &romFolder);
  // How many reads have been started.
  int readsStarted() const { return readsStarted_; }

signals:
  // `list` is null when there is none or the file was no game list; `error`
  // then says why.
  void loaded(std::shared_ptr<const vantor::gamelist::GameList> list, const QString &error);

private:
  void startLatest();
  void read(const QString &chosen, const QString &romFolder, quint64 generation,
            const std::shared_ptr<std::atomic_bool> &stop,
            const std::shared_ptr<std::atomic_bool> &done);
  void reapFinishedReaders();

  QString chosen_, romFolder_;
  bool asked_ = false;
  bool startPending_ = false;
  int readsStarted_ = 0;
  quint64 generation_ = 0;
  // A reader per request, each given its request when it starts; one whose
  // list is no longer wanted is told to stop, and what it gives is dropped.
  struct Reader {
    std::thread thread;
    std::shared_ptr<std::atomic_bool> stop, done;
  };
  std::vector<Reader> readers_;
  platform::WorkerMailbox<std::function<void()>> results_;
};

} // namespace vantor
