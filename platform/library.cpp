#include "platform/library.h"

#include <QFile>

#include <dlfcn.h>

namespace vantor::platform {

QString libraryFileName(const QString &base) {
  return QStringLiteral("lib") + base.toLower() + QStringLiteral(".so");
}

UniqueLibrary loadLibrary(const QString &pathOrName) {
  if (pathOrName.isEmpty())
    return nullptr;
  const QByteArray native = QFile::encodeName(pathOrName);
  return UniqueLibrary(dlopen(native.constData(), RTLD_NOW | RTLD_LOCAL));
}

void *resolveSymbol(LibraryHandle library, const char *name) {
  if (!library)
    return nullptr;
  return dlsym(library, name);
}

void unloadLibrary(LibraryHandle library) {
  if (library)
    dlclose(library);
}

} // namespace vantor::platform
