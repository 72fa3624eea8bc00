#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantor {

// A catalogue entry without its last four characters (the ".zip").
QString romNameOf(const QString &entry);

// One archive of the catalogue, with the folder it was listed in. The name
// is kept as the file system gave it, so it still names the file when it is
// not valid UTF-8.
struct CatalogueEntry {
  QByteArray fileName;
  QString folder;

  QString name() const;    // to show
  QString romName() const; // the name without ".zip"
  // The archive's path: its folder and its name as the file system has it.
  QString filePath() const;
  bool operator==(const CatalogueEntry &) const = default;
};

// The archives of one folder, in the list's order.
struct CatalogueHalf {
  QString folderText; // as set up; empty leaves the half out
  QString folder;     // the folder the names were read from
  QList<QByteArray> fileNames;
};

// The ROM folder's archives followed by the CD-ROM folder's, each half in its
// own order, a name present in both listed twice; and the selected entry,
// whose one home this is.
class Catalogue final {
public:
  void rebuild(const CatalogueHalf &roms, const CatalogueHalf &cdroms);
  void clear();

  int count() const { return int(entries_.size()); }
  bool isEmpty() const { return entries_.empty(); }
  const CatalogueEntry &entry(int index) const { return entries_[size_t(index)]; }
  const std::vector<CatalogueEntry> &entries() const { return entries_; }
  QStringList names() const;

  // The folders the two halves came from, in the order an archive is looked
  // for at play; a half left out gives an empty text.
  const QString &romFolder() const { return romFolder_; }
  const QString &cdromFolder() const { return cdromFolder_; }

  int selectedIndex() const { return selected_; }
  // Null when nothing is selected.
  const CatalogueEntry *selected() const;
  // An index outside the catalogue leaves the selection as it is.
  void select(int index);

private:
  std::vector<CatalogueEntry> entries_;
  QString romFolder_, cdromFolder_;
  int selected_ = -1;
};

} // namespace vantor
