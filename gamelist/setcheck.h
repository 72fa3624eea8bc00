#pragma once

#include "gamelist/archivelisting.h"
#include "gamelist/gamelist.h"

#include <QStringList>
#include <functional>

namespace vantor::gamelist {

enum class SetState { Unknown, Complete, Incomplete };

// A file a set takes from another set's archive (its parent's or its BIOS's).
struct BorrowedFile {
  QString archivePath;
  QString name; // as the set names it
  QString nameInArchive;
};

// How a set's archive, with those of its parent and BIOS, meets the list.
struct SetCheck {
  SetState state = SetState::Unknown;
  QStringList missing;         // roms no archive holds
  QStringList wrong;           // roms held with another CRC or size
  QStringList missingArchives; // archives of the chain a missing rom was looked for in
  std::vector<BorrowedFile> borrowed;
  bool operator==(const SetCheck &other) const;
};

// The archive of a set, by the set's name; nothing when no folder holds one
// or it cannot be read.
using ListingSource = std::function<const ArchiveListing *(const QString &setName)>;

// Checks set `index` of `list`. Roms marked `merge` may come from the
// archives up the set's parent and BIOS chain; roms never dumped do not
// count.
SetCheck checkSet(const GameList &list, int index, const ListingSource &listings);

// The sets whose archives a set may borrow from, nearest first.
QStringList ancestorsOf(const GameList &list, int index);

} // namespace vantor::gamelist
