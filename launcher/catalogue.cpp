#include "catalogue.h"

namespace vantor {

QString romNameOf(const QString &entry) {
  return entry.size() < 4 ? QString() : entry.left(entry.size() - 4);
}

QStringList mergeCatalogue(const QString &romFolderText, const QStringList &romArchives,
                           const QString &cdromFolderText, const QStringList &cdromArchives) {
  QStringList merged;
  merged.reserve(romArchives.size() + cdromArchives.size());
  if (!romFolderText.isEmpty())
    merged += romArchives;
  if (!cdromFolderText.isEmpty())
    merged += cdromArchives;
  return merged;
}

} // namespace vantor
