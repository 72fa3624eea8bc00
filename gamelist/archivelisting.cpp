#include "gamelist/archivelisting.h"

#include "platform/handles.h"
#include "unziplib/archivelayout.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace vantor::gamelist {

namespace {

bool before(const QString &a, const QString &b) {
  return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

ArchiveListing::ArchiveListing(QString path, std::vector<ListedFile> files)
    : path_(std::move(path)), files_(std::move(files)) {
  std::sort(files_.begin(), files_.end(),
            [](const ListedFile &a, const ListedFile &b) { return before(a.name, b.name); });
}

std::optional<ArchiveListing> ArchiveListing::read(const QString &path) {
  // Opened and closed here, not through QFile: the set checks run on a thread
  // of their own, and the thread checker follows a descriptor only through
  // our code.
  const platform::UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  const unziplib::ArchiveLayout layout =
      unziplib::readArchiveLayout(fd.get(), uint64_t(info.st_size));
  if (!layout.hasDirectory)
    return std::nullopt;
  std::vector<ListedFile> files;
  files.reserve(layout.entries.size());
  for (const unziplib::RawEntry &entry : layout.entries) {
    const QByteArrayView raw(entry.name.data(), qsizetype(entry.name.size()));
    // Names not flagged UTF-8 are nearly always ASCII; the rest are read as
    // Latin-1 so every byte still names something.
    const QString name = (entry.flags & 0x0800) && !entry.rawName ? QString::fromUtf8(raw)
                                                                  : QString::fromLatin1(raw);
    if (name.endsWith(u'/'))
      continue; // a folder
    files.push_back({name, entry.uncompressedSize, entry.crc});
  }
  return ArchiveListing(path, std::move(files));
}

const ListedFile *ArchiveListing::find(const QString &name) const {
  const auto it =
      std::lower_bound(files_.begin(), files_.end(), name,
                       [](const ListedFile &f, const QString &k) { return before(f.name, k); });
  return it != files_.end() && it->name.compare(name, Qt::CaseInsensitive) == 0 ? &*it : nullptr;
}

} // namespace vantor::gamelist
