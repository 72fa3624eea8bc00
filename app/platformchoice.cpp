#include "app/platformchoice.h"

#include <QtGlobal>

namespace vantor {
namespace {

constexpr char kPlatformVariable[] = "QT_QPA_PLATFORM";

bool choosesOnCommandLine(const QStringList &arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString &a = arguments.at(i);
    if (a == QLatin1String("-platform") || a == QLatin1String("--platform") ||
        a.startsWith(QLatin1String("-platform=")) || a.startsWith(QLatin1String("--platform=")))
      return true;
  }
  return false;
}

} // namespace

QByteArray preferredPlatform(const PlatformSetting &setting) {
  if (!setting.chosen.trimmed().isEmpty() || setting.display.trimmed().isEmpty() ||
      choosesOnCommandLine(setting.arguments))
    return {};
  return QByteArrayLiteral("xcb");
}

PlatformPreference::PlatformPreference(const QStringList &arguments) {
  const QByteArray platform =
      preferredPlatform({qgetenv(kPlatformVariable), qgetenv("DISPLAY"), arguments});
  if (platform.isEmpty())
    return;
  set_ = qputenv(kPlatformVariable, platform);
}

PlatformPreference::~PlatformPreference() {
  release();
}

void PlatformPreference::release() {
  if (set_)
    qunsetenv(kPlatformVariable);
  set_ = false;
}

} // namespace vantor
