#pragma once

#include "gamelist/stringpool.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

namespace vantor::gamelist {

// One file a set must hold. Texts are ids into the list's string pool.
struct Rom {
  enum Flag : quint8 { HasSize = 1, HasCrc = 2, NoDump = 4 };
  quint32 name = 0;
  quint32 merge = 0; // the parent's name for it; 0 when the set has its own
  quint32 size = 0;
  quint32 crc = 0;
  quint8 flags = 0;
  bool has(Flag f) const { return flags & f; }
};

// One game (or BIOS) of the list.
struct GameSet {
  quint32 name = 0;
  quint32 title = 0;
  quint32 maker = 0;
  quint32 year = 0;
  quint32 cloneOf = 0;
  quint32 romOf = 0;
  quint32 firstRom = 0;
  quint32 romCount = 0;
  bool bios = false;
};

// What a game list says about each set, read once and then only looked up:
// shared between threads as a const object.
class GameList final {
public:
  int setCount() const { return int(sets_.size()); }
  const GameSet &set(int index) const { return sets_[size_t(index)]; }
  std::span<const Rom> roms(const GameSet &set) const {
    return std::span<const Rom>(roms_).subspan(set.firstRom, set.romCount);
  }
  // The set of that name, case-blind (archive names are not always the
  // list's case).
  std::optional<int> find(QStringView name) const;
  std::optional<int> find(quint32 nameId) const;

  QString text(quint32 id) const { return strings_.text(id); }

  // What the reader passed over, one line each, for the user.
  const QStringList &notes() const { return notes_; }

private:
  friend class GameListReader;

  StringPool strings_;
  std::vector<GameSet> sets_;
  std::vector<Rom> roms_;
  QHash<QString, int> byFoldedName_;
  QStringList notes_;
};

} // namespace vantor::gamelist
