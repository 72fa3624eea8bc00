#pragma once

#include <QString>

#include <memory>

namespace vantor::platform {

// A shared library loaded at run time. The handle is opaque; null = none.
using LibraryHandle = void *;

void unloadLibrary(LibraryHandle library);

struct LibraryUnloader {
  void operator()(LibraryHandle library) const { unloadLibrary(library); }
};
// A loaded library, unloaded when its owner goes.
using UniqueLibrary = std::unique_ptr<void, LibraryUnloader>;

// The file name of a library called `base`: "lib<base>.so", in lower case.
QString libraryFileName(const QString &base);

// Loads the library at `pathOrName`: a path loads that file, a bare name goes
// through the system's library search. Returns null on failure.
UniqueLibrary loadLibrary(const QString &pathOrName);

// The address of the exported symbol `name`, or null.
void *resolveSymbol(LibraryHandle library, const char *name);

} // namespace vantor::platform
