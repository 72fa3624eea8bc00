#pragma once

#include <QString>
#include <QStringList>
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

// What the file holds; empty when it cannot be read.
QByteArray contents(const QString &path);
// Every entry of the folder, hidden ones included, sorted by name.
QStringList entriesOf(const QString &folder);

} // namespace vantor::test
