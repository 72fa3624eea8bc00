#include "launcher/splitset.h"

#include "gamelist/gamelistreader.h"
#include "gamelist/setcheck.h"
#include "platform/deletetree.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cstdlib>

namespace vantor {
namespace {

// The library writes an entry without the archive's folder names.
QString writtenName(const QString &entry) {
  return entry.mid(std::max(entry.lastIndexOf(u'/'), entry.lastIndexOf(u'\\')) + 1);
}

// Gives an unpacked file the set's name for it in the scratch folder: moved
// on its last use, copied before, so every name gets the archive's bytes.
bool giveName(const QString &from, const QString &to, bool lastUse) {
  QFile::remove(to);
  return lastUse ? QFile::rename(from, to) : QFile::copy(from, to);
}

// A folder of its own inside the scratch folder, where a group is unpacked
// under the archive's names before the set's names are given out: a name
// given never overwrites a file still to be given.
QString makeStaging(const QString &folder) {
  QByteArray pattern = platform::nativePath(folder + QStringLiteral("/.borrowed-XXXXXX"));
  return mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString();
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
    const QString staging = makeStaging(folder);
    if (staging.isEmpty()) {
      outcome.errors << QStringLiteral("I/O error: cannot create a folder in %1").arg(folder);
      return outcome;
    }
    const auto removeStaging = qScopeGuard([&] { platform::deleteTree(staging, true); });
    const ArchiveUnpacker::Outcome part =
        unpacker.unpackFrom(group.archive, group.entries, staging, progress);
    outcome.written += part.written;
    outcome.errors << part.errors;
    if (part.cancelled) {
      outcome.cancelled = true;
      return outcome;
    }
    const QString archive = QFileInfo(platform::displayName(group.archive)).fileName();
    const QDir from(staging);
    for (qsizetype i = 0; i < group.entries.size(); ++i) {
      const QString written = writtenName(group.entries[i]);
      const bool lastUse =
          std::none_of(group.entries.begin() + i + 1, group.entries.end(),
                       [&](const QString &later) { return writtenName(later) == written; });
      if (!QFileInfo::exists(from.filePath(written)))
        outcome.errors << QStringLiteral("%1 was not unpacked from %2").arg(written, archive);
      else if (!giveName(from.filePath(written), into.filePath(group.names[i]), lastUse))
        outcome.errors
            << QStringLiteral("%1 could not be copied to %2").arg(written, group.names[i]);
    }
  }
  return outcome;
}

} // namespace vantor
