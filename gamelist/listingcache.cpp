#include "gamelist/listingcache.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vantor::gamelist {
namespace {

constexpr quint32 kMagic = 0x564C4331; // "VLC1"
// A damaged file must not make us allocate without bound.
constexpr quint32 kMaxFilesPerArchive = 1000000;

} // namespace

ListingCache::ListingCache(QString file) : file_(std::move(file)) {
  load();
}

QString ListingCache::defaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/vantor/archive-listings");
}

void ListingCache::load() {
  if (file_.isEmpty())
    return;
  QFile file(file_);
  if (!file.open(QIODevice::ReadOnly))
    return;
  QDataStream in(&file);
  in.setVersion(QDataStream::Qt_6_0);
  quint32 magic = 0, count = 0;
  in >> magic >> count;
  if (magic != kMagic)
    return;
  std::unordered_map<QString, Entry> entries;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    QString path;
    Entry entry;
    bool readable = false;
    in >> path >> entry.size >> entry.modified >> readable;
    if (readable) {
      quint32 files = 0;
      in >> files;
      if (files > kMaxFilesPerArchive)
        return;
      std::vector<ListedFile> listed;
      for (quint32 f = 0; f < files && in.status() == QDataStream::Ok; ++f) {
        ListedFile item;
        in >> item.name >> item.size >> item.crc;
        listed.push_back(std::move(item));
      }
      entry.listing = ArchiveListing(path, std::move(listed));
    }
    entries.insert_or_assign(path, std::move(entry));
  }
  if (in.status() == QDataStream::Ok)
    entries_ = std::move(entries);
}

const ArchiveListing *ListingCache::listing(const QString &path) {
  const QFileInfo info(path);
  if (!info.isFile())
    return nullptr;
  const qint64 size = info.size();
  const qint64 modified = info.lastModified().toMSecsSinceEpoch();
  Entry &entry = entries_[path];
  if (entry.size != size || entry.modified != modified) {
    entry.size = size;
    entry.modified = modified;
    entry.listing = ArchiveListing::read(path);
    ++reads_;
  }
  entry.used = true;
  return entry.listing ? &*entry.listing : nullptr;
}

bool ListingCache::save() const {
  if (!QDir().mkpath(QFileInfo(file_).absolutePath()))
    return false;
  QSaveFile file(file_);
  if (!file.open(QIODevice::WriteOnly))
    return false;
  QDataStream out(&file);
  out.setVersion(QDataStream::Qt_6_0);
  quint32 count = 0;
  for (const auto &[path, entry] : entries_)
    count += entry.used ? 1 : 0;
  out << kMagic << count;
  for (const auto &[path, entry] : entries_) {
    if (!entry.used)
      continue;
    out << path << entry.size << entry.modified << bool(entry.listing);
    if (!entry.listing)
      continue;
    out << quint32(entry.listing->files().size());
    for (const ListedFile &item : entry.listing->files())
      out << item.name << item.size << item.crc;
  }
  return out.status() == QDataStream::Ok && file.commit();
}

} // namespace vantor::gamelist
