#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace vantor::gamelist {

// One file an archive's central directory names.
struct ListedFile {
  QString name; // as stored
  quint64 size = 0;
  quint32 crc = 0;
};

// What an archive holds, read from its central directory alone: names,
// sizes and CRC-32s, nothing unpacked.
class ArchiveListing final {
public:
  ArchiveListing() = default;
  ArchiveListing(QString path, std::vector<ListedFile> files);

  // Nothing when the file cannot be read or has no central directory.
  static std::optional<ArchiveListing> read(const QString &path);

  const QString &path() const { return path_; }
  const std::vector<ListedFile> &files() const { return files_; }
  // `name` in any case: sets name their roms in any case.
  const ListedFile *find(const QString &name) const;

private:
  QString path_;
  std::vector<ListedFile> files_; // sorted by name, case-blind
};

} // namespace vantor::gamelist
