#include "commandline.h"

namespace vantor {

QString scratchFolder(const QString &emulatorDir) {
  return emulatorDir + QStringLiteral("~del~~");
}

QString emulatorCommandLine(const LaunchSwitches &s) {
  QString line = u'"' + s.emulator + QStringLiteral("\"  ");
  const QString scratch = scratchFolder(s.emulatorDir);
  line += scratch.contains(u' ') ? u'"' + scratch + u'"' : scratch;
  switch (s.scanlines) {
  case 0:
    line += QStringLiteral(" -s");
    break;
  case 2:
    line += QStringLiteral(" -s25");
    break;
  case 3:
    line += QStringLiteral(" -s50");
    break;
  case 4:
    line += QStringLiteral(" -s100");
    break;
  default:
    break;
  }
  if (s.vsync == 0)
    line += QStringLiteral(" -v");
  if (s.joystick == 0)
    line += QStringLiteral(" -j");
  if (s.vga == 0)
    line += QStringLiteral(" -vga");
  if (s.modex == 0)
    line += QStringLiteral(" -modex");
  if (s.noanal == 0)
    line += QStringLiteral(" -noanalys");
  if (s.frameskip != 0)
    line += QStringLiteral(" -f") + QString::number(s.frameskip);
  line += u' ' + s.addcmds;
  return line;
}

} // namespace vantor
