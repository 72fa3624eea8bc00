#pragma once

#include "unziplib/entrypath.h"
#include "unziplib/handles.h"

#include <string>
#include <sys/stat.h>

namespace unziplib {

// File operations below the extraction folder that never follow a link out of
// it: every folder on the way is opened relative to its parent without
// following symbolic links.
class TargetFolder final {
public:
  struct CurrentFolder {};
  // Opens `folder`, which must be an absolute path and not a link; check
  // isOpen().
  explicit TargetFolder(const std::string &folder);
  // Opens the process's current folder once, so that a later change of the
  // current folder cannot move the files elsewhere.
  explicit TargetFolder(CurrentFolder);
  TargetFolder(const TargetFolder &) = delete;
  TargetFolder &operator=(const TargetFolder &) = delete;

  bool isOpen() const { return root_.valid(); }
  // Why the folder could not be opened.
  const std::string &openError() const { return openError_; }

  // The folder that holds the path's last component, or an invalid
  // descriptor with `error` set.
  UniqueFd openParent(const EntryPath &path, bool create, std::string &error) const;
  // Creates every folder of `path`.
  bool makeFolders(const EntryPath &path, std::string &error) const;
  // What is at `path` now, without following a final link; false if nothing.
  bool lookup(const EntryPath &path, struct stat &info) const;

private:
  UniqueFd root_;
  std::string openError_;
};

// A new file with a private name in `folder`, renamed to its real name once
// complete, so a failed extraction never leaves a half-written file under the
// name of a complete one.
class TempFile final {
public:
  TempFile() = default;
  ~TempFile() { discard(); }
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;

  // Creates the file in `folder`, which it keeps until discarded.
  bool create(UniqueFd folder, std::string &error);
  bool write(const void *data, size_t size, std::string &error);
  // Sets the modification time and closes the file.
  bool finish(long long modified, std::string &error);
  // Moves the file to `finalName` in its folder.
  bool commit(const std::string &finalName, std::string &error);
  // Removes the file if still there and closes everything.
  void discard();

private:
  UniqueFd folder_;
  UniqueFd fd_; // while writing
  std::string name_;
};

} // namespace unziplib
