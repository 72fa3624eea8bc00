#include "launcher/catalogue.h"

#include "platform/files.h"

#include <QFile>

namespace vantor {

QString romNameOf(const QString &entry) {
  return entry.size() < 4 ? QString() : entry.left(entry.size() - 4);
}

QString CatalogueEntry::name() const {
  return platform::displayName(fileName);
}

QString CatalogueEntry::romName() const {
  return romNameOf(name());
}

QString CatalogueEntry::filePath() const {
  return platform::joinPath(folder, QFile::decodeName(fileName));
}

void Catalogue::clear() {
  entries_.clear();
  romFolder_.clear();
  cdromFolder_.clear();
  selected_ = -1;
}

void Catalogue::rebuild(const CatalogueHalf &roms, const CatalogueHalf &cdroms) {
  clear();
  entries_.reserve(size_t(roms.fileNames.size() + cdroms.fileNames.size()));
  for (const CatalogueHalf *half : {&roms, &cdroms}) {
    if (half->folderText.isEmpty())
      continue;
    (half == &roms ? romFolder_ : cdromFolder_) = half->folder;
    for (const QByteArray &name : half->fileNames)
      entries_.push_back({name, half->folder});
  }
}

QStringList Catalogue::names() const {
  QStringList shown;
  shown.reserve(count());
  for (const CatalogueEntry &entry : entries_)
    shown << entry.name();
  return shown;
}

const CatalogueEntry *Catalogue::selected() const {
  return selected_ >= 0 && selected_ < count() ? &entries_[size_t(selected_)] : nullptr;
}

void Catalogue::select(int index) {
  if (index >= 0 && index < count())
    selected_ = index;
}

} // namespace vantor
