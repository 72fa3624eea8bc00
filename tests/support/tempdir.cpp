#include "tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantor::test {

TempDir::TempDir() = default;

QString TempDir::file(const QString &name) const {
  return dir_.filePath(name);
}

QString TempDir::write(const QString &name, const QByteArray &data) const {
  const QString full = file(name);
  QDir().mkpath(QFileInfo(full).absolutePath());
  QFile f(full);
  if (f.open(QIODevice::WriteOnly))
    f.write(data);
  return full;
}

QString TempDir::mkdir(const QString &name) const {
  const QString full = file(name);
  QDir().mkpath(full);
  return full;
}

QByteArray contents(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entriesOf(const QString &folder) {
  return QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace vantor::test
