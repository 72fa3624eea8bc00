#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <memory>

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

signals:
  // `list` is null when there is none or the file was no game list; `error`
  // then says why.
  void loaded(std::shared_ptr<const vantor::gamelist::GameList> list, const QString &error);

private:
  void startLatest();

  QThreadPool pool_;
  QString chosen_, romFolder_;
  bool asked_ = false;
  bool startPending_ = false;
  quint64 generation_ = 0;
};

} // namespace vantor
