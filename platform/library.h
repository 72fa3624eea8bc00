#pragma once

#include <QString>

namespace vantor::platform {

// A shared library loaded at run time. The handle is opaque; null = none.
using LibraryHandle = void *;

// The platform's file name for a library called `base` ("UNZIPLIB.DLL" style on
// Windows, "lib<base>.so" here).
QString libraryFileName(const QString &base);

// Loads the library at `pathOrName`: a path loads that file, a bare name goes
// through the system's library search. Returns null on failure. Where the
// system shows boxes for missing files or critical errors, they are switched
// off around the load.
LibraryHandle loadLibrary(const QString &pathOrName);

// The address of the exported symbol `name`, or null.
void *resolveSymbol(LibraryHandle library, const char *name);

void unloadLibrary(LibraryHandle library);

// Why the last load or look-up failed, in the system's words (may be empty).
QString lastLibraryError();

} // namespace vantor::platform
