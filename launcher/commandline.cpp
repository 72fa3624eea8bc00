#include "launcher/commandline.h"

#include "platform/process.h"

namespace vantor {

QString scratchFolder(const QString &emulatorDir) {
  return emulatorDir + QStringLiteral("~del~~");
}

QStringList emulatorArguments(const QString &emulator, const QString &scratch,
                              const EmulatorSwitches &s) {
  QStringList args{emulator, scratch};
  switch (s.scanlines) {
  case 0:
    args << QStringLiteral("-s");
    break;
  case 2:
    args << QStringLiteral("-s25");
    break;
  case 3:
    args << QStringLiteral("-s50");
    break;
  case 4:
    args << QStringLiteral("-s100");
    break;
  default:
    break;
  }
  if (s.vsync == 0)
    args << QStringLiteral("-v");
  if (s.joystick == 0)
    args << QStringLiteral("-j");
  if (s.vga == 0)
    args << QStringLiteral("-vga");
  if (s.modex == 0)
    args << QStringLiteral("-modex");
  if (s.noanal == 0)
    args << QStringLiteral("-noanalys");
  if (s.frameskip != 0)
    args << QStringLiteral("-f") + QString::number(s.frameskip);
  return args + platform::splitArguments(s.addcmds);
}

} // namespace vantor
