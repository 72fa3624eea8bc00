#pragma once

#include <dlfcn.h>

namespace vantor::test {

// The JPEG codec library keeps thread-local data. When the toolkit unloads
// its image plugins at exit, the leak checker's later scan of thread-local
// blocks can trip over the unloaded library's stale entry and crash. A test
// program that encodes or decodes JPEG files keeps the library loaded.
inline const bool jpegPinned = dlopen("libjpeg.so.62", RTLD_NOW | RTLD_NODELETE) != nullptr;

} // namespace vantor::test
