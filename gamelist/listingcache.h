#pragma once

#include "gamelist/archivelisting.h"

#include <QHashFunctions>
#include <QString>

#include <optional>
#include <unordered_map>

namespace vantor::gamelist {

// Archive listings kept between runs, each valid while its archive keeps its
// size and modification time: a second check reads no archive at all.
class ListingCache final {
public:
  // Loads `file`; a missing or damaged one is an empty cache. Without a
  // file every archive is read.
  explicit ListingCache(QString file);

  // The folder the program's cache file lives in, below the user's cache
  // folder.
  static QString defaultFile();

  // The listing of the archive at `path` (nothing when it cannot be read),
  // from the cache when the archive is unchanged.
  const ArchiveListing *listing(const QString &path);

  // Writes the archives looked up since loading, through a temporary file,
  // so a cut-off write leaves the previous cache. False when it cannot.
  bool save() const;

  int reads() const { return reads_; } // archives read rather than taken from the cache

private:
  struct Entry {
    qint64 size = -1;
    qint64 modified = 0;
    std::optional<ArchiveListing> listing;
    bool used = false;
  };
  void load();

  QString file_;
  // Node-based: a listing handed out keeps its address while others are
  // added (a QHash moves its entries when it grows).
  std::unordered_map<QString, Entry> entries_;
  int reads_ = 0;
};

} // namespace vantor::gamelist
