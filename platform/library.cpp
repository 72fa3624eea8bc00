#include "platform/library.h"

#include <QFile>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vantor::platform {

#if defined(_WIN32)

QString libraryFileName(const QString &base) {
  return base.toUpper() + QStringLiteral(".DLL");
}

UniqueLibrary loadLibrary(const QString &pathOrName) {
  // No "drive not ready" or "file not found" boxes while the system searches.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(pathOrName.utf16()));
  SetErrorMode(previous);
  return UniqueLibrary(module);
}

void *resolveSymbol(LibraryHandle library, const char *name) {
  if (!library)
    return nullptr;
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unloadLibrary(LibraryHandle library) {
  if (library)
    FreeLibrary(static_cast<HMODULE>(library));
}

#else

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

#endif

} // namespace vantor::platform
