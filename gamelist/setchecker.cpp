#include "gamelist/setchecker.h"

#include "gamelist/listingcache.h"

#include <QFileInfo>

namespace vantor::gamelist {
namespace {

SetCheck checkOne(const GameList &list, const QString &archivePath, FolderListings &listings,
                  ListingCache &cache) {
  const std::optional<int> index = list.find(QFileInfo(archivePath).completeBaseName());
  if (!index)
    return {};
  // The catalogue's own archive is the one checked, whatever folder the
  // set's name would be found in first.
  const QString own = list.text(list.set(*index).name);
  return checkSet(list, *index, [&](const QString &setName) -> const ArchiveListing * {
    if (setName.compare(own, Qt::CaseInsensitive) == 0)
      return cache.listing(archivePath);
    return listings(setName);
  });
}

} // namespace

FolderListings::FolderListings(ListingCache &cache, QStringList folders)
    : cache_(cache), folders_(std::move(folders)) {}

const ArchiveListing *FolderListings::operator()(const QString &setName) {
  const auto known = found_.constFind(setName);
  if (known != found_.constEnd())
    return *known;
  const ArchiveListing *listing = nullptr;
  for (const QString &folder : folders_) {
    if (folder.isEmpty())
      continue;
    const QString path = folder + u'/' + setName + QStringLiteral(".zip");
    if (QFileInfo(path).isFile()) {
      listing = cache_.listing(path);
      break;
    }
  }
  found_.insert(setName, listing);
  return listing;
}

SetCheck checkArchive(const GameList &list, const QString &archivePath,
                      const QStringList &folders) {
  ListingCache fresh{QString()};
  FolderListings listings(fresh, folders);
  return checkOne(list, archivePath, listings, fresh);
}

SetChecker::SetChecker(QString cacheFile, QObject *parent)
    : QObject(parent), cacheFile_(std::move(cacheFile)),
      worker_(this, [](std::function<void()> &&emitIt) { emitIt(); }) {}

SetChecker::~SetChecker() {
  stop();
}

// A run stops between two archives; nothing it sent is delivered after.
void SetChecker::stop() {
  worker_.stop();
}

void SetChecker::start(std::shared_ptr<const GameList> list, QStringList archives,
                       QStringList folders) {
  // Sets not reached stay unknown.
  worker_.start([this, list = std::move(list), archives = std::move(archives),
                 folders = std::move(folders), cacheFile = cacheFile_] {
    ListingCache cache(cacheFile);
    FolderListings listings(cache, folders);
    for (int i = 0; i < archives.size() && !worker_.stopping(); ++i) {
      SetCheck check = checkOne(*list, archives[i], listings, cache);
      worker_.post([this, i, check = std::move(check)] { emit checked(i, check); });
    }
    if (worker_.stopping())
      return;
    if (!cacheFile.isEmpty())
      cache.save();
    worker_.post([this] { emit finished(); });
  });
}

} // namespace vantor::gamelist
