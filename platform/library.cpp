#include "library.h"

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

LibraryHandle loadLibrary(const QString &pathOrName) {
  // No "drive not ready" or "file not found" boxes while the system searches.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(pathOrName.utf16()));
  SetErrorMode(previous);
  return module;
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

QString lastLibraryError() {
  return QString::number(GetLastError());
}

#else

namespace {
thread_local QString lastError;
} // namespace

QString libraryFileName(const QString &base) {
  return QStringLiteral("lib") + base.toLower() + QStringLiteral(".so");
}

LibraryHandle loadLibrary(const QString &pathOrName) {
  if (pathOrName.isEmpty())
    return nullptr;
  const QByteArray native = QFile::encodeName(pathOrName);
  void *handle = dlopen(native.constData(), RTLD_NOW | RTLD_LOCAL);
  lastError = handle ? QString() : QString::fromLocal8Bit(dlerror());
  return handle;
}

void *resolveSymbol(LibraryHandle library, const char *name) {
  if (!library)
    return nullptr;
  dlerror();
  void *address = dlsym(library, name);
  if (!address)
    lastError = QString::fromLocal8Bit(dlerror());
  return address;
}

void unloadLibrary(LibraryHandle library) {
  if (library)
    dlclose(library);
}

QString lastLibraryError() {
  return lastError;
}

#endif

} // namespace vantor::platform
