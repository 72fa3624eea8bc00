#pragma once

#include <QString>

namespace vantor {

// What the setup window's change handlers need of the main window: point its
// folder lists somewhere and rebuild the catalogue. Implemented by the main
// window; this is the setup window's only way to reach it.
class CatalogueHost {
public:
  virtual ~CatalogueHost() = default;
  // Each throws InOutError when the folder cannot be entered.
  virtual void applyRomFolder(const QString &path) = 0;
  virtual void applyCdRomFolder(const QString &path) = 0;
  virtual void applyShotsFolder(const QString &path) = 0;
  virtual void poplist() = 0;
};

} // namespace vantor
