#include "launcher/splitset.h"

#include "gamelist/gamelistreader.h"
#include "gamelist/setcheck.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vantor {
namespace {

// The library writes an entry without the archive's folder names.
QString writtenName(const QString &entry) {
  return entry.mid(std::max(entry.lastIndexOf(u'/'), entry.lastIndexOf(u'\\')) + 1);
}

// A second name for a file already unpacked: a copy, so the set's own
// archive overwriting one name never changes the other.
bool giveName(const QDir &folder, const QString &from, const QString &to) {
  if (from == to)
    return true;
  QFile::remove(folder.filePath(to));
  return QFile::copy(folder.filePath(from), folder.filePath(to));
}

} // namespace

std::vector<BorrowedFiles> borrowedFilesOf(const gamelist::SetCheck &check) {
  std::vector<BorrowedFiles> groups;
  for (const gamelist::BorrowedFile &file : check.borrowed) {
    if (!gamelist::safeName(file.name) || !gamelist::safeName(writtenName(file.nameInArchive)))
      continue;
    const QByteArray archive = platform::nativePath(file.archivePath);
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const BorrowedFiles &g) { return g.archive == archive; });
    if (group == groups.end())
      group = groups.insert(groups.end(), BorrowedFiles{archive, {}, {}});
    group->entries << file.nameInArchive;
    group->names << file.name;
  }
  return groups;
}

ArchiveUnpacker::Outcome unpackBorrowed(ArchiveUnpacker &unpacker,
                                        const std::vector<BorrowedFiles> &groups,
                                        const QString &folder,
                                        const ArchiveUnpacker::Progress &progress) {
  ArchiveUnpacker::Outcome outcome;
  const QDir into(folder);
  for (const BorrowedFiles &group : groups) {
    const ArchiveUnpacker::Outcome part =
        unpacker.unpackFrom(group.archive, group.entries, folder, progress);
    outcome.written += part.written;
    outcome.errors << part.errors;
    if (part.cancelled) {
      outcome.cancelled = true;
      return outcome;
    }
    const QString archive = QFileInfo(platform::displayName(group.archive)).fileName();
    for (qsizetype i = 0; i < group.entries.size(); ++i) {
      const QString written = writtenName(group.entries[i]);
      if (!QFileInfo::exists(into.filePath(written)))
        outcome.errors << QStringLiteral("%1 was not unpacked from %2").arg(written, archive);
      else if (!giveName(into, written, group.names[i]))
        outcome.errors
            << QStringLiteral("%1 could not be copied to %2").arg(written, group.names[i]);
    }
  }
  return outcome;
}

} // namespace vantor
