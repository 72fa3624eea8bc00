#pragma once

#include "gamelist/gamelist.h"

#include <QString>
#include <atomic>
#include <memory>

class QIODevice;

namespace vantor::gamelist {

// Reads a game list: a "datafile" of <game> elements as rom managers write
// it, or the form emulators write, a root of <machine> elements. The file is
// streamed; what the list keeps is compact, so memory stays near the file's
// size. DTDs are not processed: no entity is expanded and nothing outside the
// file is read.
// A set or rom name becomes a file name in a folder: nothing that leaves the
// folder or that a file name cannot hold. Names that fail are never stored.
bool safeName(QStringView name);

class GameListReader final {
public:
  // Bigger files are refused rather than read.
  static constexpr qint64 kMaxFileSize = qint64(1) << 30;
  static constexpr int kMaxSets = 1000000;
  static constexpr qsizetype kMaxRoms = 20000000;

  // Throws Error "<file> is not a game list: <reason> at line N" (or one
  // that says the file cannot be read). Gives null, early, once `stop` is
  // set: a list no longer wanted is not read to its end.
  static std::shared_ptr<const GameList> readFile(const QString &path,
                                                  const std::atomic_bool *stop = nullptr);
  // `fileName` names the source in the messages.
  static std::shared_ptr<const GameList> read(QIODevice &device, const QString &fileName,
                                              const std::atomic_bool *stop = nullptr);

  // Whether the file starts as a game list does (its root element and first
  // entry); reads no further.
  static bool looksLikeGameList(const QString &path);

private:
  class Parser;
};

} // namespace vantor::gamelist
