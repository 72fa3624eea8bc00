#include "gamelist/setcheck.h"

namespace vantor::gamelist {
namespace {

// Longer chains are broken lists (a set that names itself, a loop).
constexpr int kMaxChain = 8;

bool matches(const Rom &rom, const ListedFile &file) {
  if (rom.has(Rom::HasCrc))
    return file.crc == rom.crc && (!rom.has(Rom::HasSize) || file.size == rom.size);
  return !rom.has(Rom::HasSize) || file.size == rom.size;
}

} // namespace

bool SetCheck::operator==(const SetCheck &other) const {
  if (borrowed.size() != other.borrowed.size())
    return false;
  for (size_t i = 0; i < borrowed.size(); ++i)
    if (borrowed[i].archivePath != other.borrowed[i].archivePath ||
        borrowed[i].name != other.borrowed[i].name ||
        borrowed[i].nameInArchive != other.borrowed[i].nameInArchive)
      return false;
  return state == other.state && missing == other.missing && wrong == other.wrong &&
         missingArchives == other.missingArchives;
}

QStringList ancestorsOf(const GameList &list, int index) {
  QStringList chain;
  std::optional<int> at = index;
  while (at && chain.size() < kMaxChain) {
    const GameSet &set = list.set(*at);
    // A clone names its parent in both; a parent names its BIOS in romof.
    const quint32 next = set.romOf != 0 ? set.romOf : set.cloneOf;
    if (next == 0)
      break;
    const QString name = list.text(next);
    if (name.compare(list.text(list.set(index).name), Qt::CaseInsensitive) == 0 ||
        chain.contains(name, Qt::CaseInsensitive))
      break;
    chain << name;
    at = list.find(next);
  }
  return chain;
}

SetCheck checkSet(const GameList &list, int index, const ListingSource &listings) {
  SetCheck result;
  const GameSet &set = list.set(index);
  const ArchiveListing *own = listings(list.text(set.name));
  if (!own)
    return result;
  const QStringList chain = ancestorsOf(list, index);
  for (const Rom &rom : list.roms(set)) {
    if (rom.has(Rom::NoDump))
      continue;
    const QString name = list.text(rom.name);
    if (const ListedFile *file = own->find(name)) {
      if (!matches(rom, *file))
        result.wrong << name;
      continue;
    }
    if (rom.merge == 0) {
      result.missing << name;
      continue;
    }
    const QString mergeName = list.text(rom.merge);
    bool found = false, mismatched = false;
    QStringList absent;
    for (const QString &ancestor : chain) {
      const ArchiveListing *listing = listings(ancestor);
      if (!listing) {
        absent << ancestor;
        continue;
      }
      const ListedFile *file = listing->find(mergeName);
      if (file && matches(rom, *file)) {
        result.borrowed.push_back({listing->path(), name, file->name});
        found = true;
        break;
      }
      mismatched = mismatched || file != nullptr;
    }
    if (found)
      continue;
    (mismatched ? result.wrong : result.missing) << name;
    for (const QString &archive : absent)
      if (!result.missingArchives.contains(archive + QStringLiteral(".zip")))
        result.missingArchives << archive + QStringLiteral(".zip");
  }
  const bool whole = result.missing.isEmpty() && result.wrong.isEmpty();
  result.state = whole ? SetState::Complete : SetState::Incomplete;
  return result;
}

} // namespace vantor::gamelist
