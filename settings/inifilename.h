#pragma once

#include <QString>

namespace vantor {

// The settings file: the executable's name with its extension replaced by
// ".INI", in the per-user configuration folder.
QString iniFileNameFor(const QString &executableName);
QString defaultIniFilePath();

// Replaces the settings file for the rest of the run (an empty path goes back
// to the per-user one). Relative names sit in the folder of this file.
void setIniFilePathOverride(const QString &path);

} // namespace vantor
