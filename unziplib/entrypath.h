#pragma once

#include <string>
#include <vector>

namespace unziplib {

// An entry name made safe to write below the extraction folder.
struct EntryPath {
  std::vector<std::string> components; // no "", ".", ".." and no separators
  bool isDirectory = false;            // the entry names a folder
  std::vector<std::string> warnings;   // what was changed, for the messages
  std::string refusal;                 // non-empty: the entry is not written

  // The components joined with "/".
  std::string joined() const;
};

constexpr size_t kMaxComponent = 255; // bytes of one name in a folder
constexpr size_t kMaxRelativePath = 4000;

// Confines `name` to the extraction folder: backslashes count as separators,
// drive letters and leading separators are dropped, "." and ".." components
// are skipped. Without folder names only the last component is kept.
EntryPath confineEntryName(const std::string &name, bool keepFolders);

// Case-insensitive (ASCII) wildcard match: "*" any run, "?" one byte.
bool matchesWildcard(const std::string &name, const std::string &pattern);

} // namespace unziplib
