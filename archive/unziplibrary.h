#pragma once

#include "unziplib/unziplib.h"

#include <QString>
#include <functional>

namespace vantor::archive {

// The unzip library, loaded for one extraction and unloaded after it. The
// handle and the entry points are program-wide, shared by every extractor.
class UnzipLibrary final {
public:
  using MessageSink = std::function<void(const QString &)>;

  // The platform's file name of the library ("libunziplib.so").
  static QString fileName();

  static bool isLoaded();
  // Loads from `directory` when the file is there, else by name through the
  // system's library search; reports failures through `showMessage`.
  static bool load(const QString &directory, bool trace, const MessageSink &showMessage);
  static void unload();

  // Null when the library lacks the entry point.
  static UnzipExecFunction unzipExec();
  static GetUnzipVersionFunction getUnzipVersion();
};

} // namespace vantor::archive
