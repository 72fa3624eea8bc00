#pragma once

#include "settings/emulatorswitches.h"

#include <QString>
#include <QStringList>

namespace vantor {

// The scratch folder for an unpacked game: neodir + "~del~~".
QString scratchFolder(const QString &emulatorDir);

// The emulator's arguments, each its own entry with no quoting to undo: the
// program, the scratch folder, the switches in their fixed order, then the
// additional commands, which alone are split as a command line.
QStringList emulatorArguments(const QString &emulator, const QString &scratch,
                              const EmulatorSwitches &s);

} // namespace vantor
