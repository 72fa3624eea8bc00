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

} // namespace vantor::gamelist
