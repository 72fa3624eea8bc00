#include "gamelist/gamelist.h"

namespace vantor::gamelist {

std::optional<int> GameList::find(QStringView name) const {
  const auto it = byFoldedName_.constFind(name.toString().toLower());
  if (it == byFoldedName_.constEnd())
    return std::nullopt;
  return *it;
}

std::optional<int> GameList::find(quint32 nameId) const {
  if (nameId == 0)
    return std::nullopt;
  const auto it = byFoldedName_.constFind(text(nameId).toLower());
  if (it == byFoldedName_.constEnd())
    return std::nullopt;
  return *it;
}

qsizetype GameList::memoryBytes() const {
  // A hash node holds its key's text beside the pair.
  constexpr qsizetype kNodeOverhead = 48;
  qsizetype total = strings_.bytes() + qsizetype(sets_.capacity() * sizeof(GameSet)) +
                    qsizetype(roms_.capacity() * sizeof(Rom));
  total += byFoldedName_.size() * kNodeOverhead;
  return total;
}

} // namespace vantor::gamelist
