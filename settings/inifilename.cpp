#include "inifilename.h"

#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantor {

QString iniFileNameFor(const QString &executableName) {
  const QString name = QFileInfo(executableName).fileName();
  const qsizetype dot = name.lastIndexOf(u'.');
  return (dot < 0 ? name : name.left(dot)) + QStringLiteral(".INI");
}

QString defaultIniFilePath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QDir().mkpath(folder);
  return platform::joinPath(QDir::toNativeSeparators(folder),
                            iniFileNameFor(QCoreApplication::applicationFilePath()));
}

} // namespace vantor
