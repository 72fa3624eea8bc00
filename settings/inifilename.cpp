#include "settings/inifilename.h"

#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantor {
namespace {

QString &iniFilePathOverride() {
  static QString path;
  return path;
}

} // namespace

QString iniFileNameFor(const QString &executableName) {
  const QString name = QFileInfo(executableName).fileName();
  const qsizetype dot = name.lastIndexOf(u'.');
  return (dot < 0 ? name : name.left(dot)) + QStringLiteral(".INI");
}

QString defaultIniFilePath() {
  if (const QString &chosen = iniFilePathOverride(); !chosen.isEmpty()) {
    QDir().mkpath(QFileInfo(chosen).absolutePath());
    return chosen;
  }
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QDir().mkpath(folder);
  return platform::joinPath(QDir::toNativeSeparators(folder),
                            iniFileNameFor(QCoreApplication::applicationFilePath()));
}

void setIniFilePathOverride(const QString &path) {
  iniFilePathOverride() =
      path.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace vantor
