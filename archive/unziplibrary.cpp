#include "archive/unziplibrary.h"

#include "platform/files.h"
#include "platform/library.h"

namespace vantor::archive {
namespace {

struct LoadedLibrary {
  platform::UniqueLibrary handle;
  UnzipExecFunction exec = nullptr;
};

LoadedLibrary &loaded() {
  static LoadedLibrary library;
  return library;
}

} // namespace

QString UnzipLibrary::fileName() {
  return platform::libraryFileName(QStringLiteral("unziplib"));
}

bool UnzipLibrary::isLoaded() {
  return loaded().handle != nullptr;
}

void UnzipLibrary::load(const QString &directory, bool trace,
                        const std::function<void(const QString &text)> &showMessage) {
  LoadedLibrary &library = loaded();
  const QString file = fileName();
  const QString beside = platform::joinPath(directory, file);
  const bool useDirectory = !directory.isEmpty() && platform::fileExists(beside);
  library.handle = platform::loadLibrary(useDirectory ? beside : file);
  if (!library.handle) {
    library = {};
    showMessage(file + QStringLiteral(" not found"));
    return;
  }
  if (trace)
    showMessage(QStringLiteral("UNZIP LIB Loaded"));
  library.exec = reinterpret_cast<UnzipExecFunction>(
      platform::resolveSymbol(library.handle.get(), "UnzipExec"));
  if (!library.exec)
    showMessage(QStringLiteral("UnzipExec function not found in ") + file);
  // Nothing calls it, but a library without it is not the one we were built for.
  if (!platform::resolveSymbol(library.handle.get(), "GetUnzipVersion"))
    showMessage(QStringLiteral("GetUnzipVersion function not found in ") + file);
}

void UnzipLibrary::unload() {
  loaded() = {};
}

UnzipExecFunction UnzipLibrary::unzipExec() {
  return loaded().exec;
}

} // namespace vantor::archive
