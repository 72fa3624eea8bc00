#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vantor::test {

// A scratch folder for one test, removed with it.
class TempDir {
public:
  TempDir();
  QString path() const { return dir_.path(); }
  QString file(const QString &name) const;
  // Writes `data` to `name` (below the folder), creating parent folders.
  QString write(const QString &name, const QByteArray &data = {}) const;
  QString mkdir(const QString &name) const;

private:
  QTemporaryDir dir_;
};

} // namespace vantor::test
