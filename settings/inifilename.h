#pragma once

#include <QString>

namespace vantor {

// The settings file: the executable's name with its extension replaced by
// ".INI", in the per-user configuration folder.
QString iniFileNameFor(const QString &executableName);
QString defaultIniFilePath();

} // namespace vantor
