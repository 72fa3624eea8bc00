#pragma once

#include "unziplib/unziplib.h"

#include <QString>

#include <functional>

namespace vantor::archive {

// The unzip library, loaded for one extraction and unloaded after it. The
// handle and the entry points are program-wide, shared by every extractor.
class UnzipLibrary final {
public:
  // The platform's file name of the library ("libunziplib.so").
  static QString fileName();

  static bool isLoaded();
  // Loads from `directory` when the file is there, else by name through the
  // system's library search; what failed goes to `report`.
  static void load(const QString &directory, bool trace,
                   const std::function<void(const QString &text)> &report);
  static void unload();

  // Null when the library lacks the entry point.
  static UnzipExecFunction unzipExec();
};

} // namespace vantor::archive
