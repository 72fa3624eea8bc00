// A second copy of the program closing: once a line arrives on its input it
// saves one section per window, 20 keys each, one save after the other.
// profile_writer <file> <name> <value>
#include "platform/errors.h"
#include "platform/profile.h"

#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 4)
    return 2;
  const QString path = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  const QString value = QString::fromLocal8Bit(argv[3]);
  char go[8];
  if (!std::fgets(go, sizeof go, stdin))
    return 3;
  try {
    for (const char *window : {"main", "setup", "about"}) {
      vantor::platform::ProfileFile ini(path, vantor::platform::ProfileFile::Mode::Batch);
      const QString section = name + u'.' + QLatin1String(window);
      for (int key = 0; key < 20; ++key)
        ini.writeString(section, QStringLiteral("key%1").arg(key),
                        QStringLiteral("%1-%2").arg(value).arg(key));
      ini.commit();
    }
  } catch (const vantor::Error &e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    return 1;
  }
  return 0;
}
