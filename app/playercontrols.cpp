#include "app/playercontrols.h"

#include "launcher/keybindings.h"
#include "launcher/mainwindow.h"
#include "platform/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStyleHints>

#include <cstdio>

namespace vantor {

PlayerControls::PlayerControls(TfrmMain &main, const QString &settingsFile, bool cabinet)
    : router_(main) {
  const platform::ProfileFile file(settingsFile);
  main.setKeyBindings(KeyBindings::read(file));
  PadSettings settings =
      PadSettings::read(file, QGuiApplication::styleHints()->keyboardAutoRepeatRate());
  settings.cabinet = settings.cabinet || cabinet;
  cabinet_ = settings.cabinet;
  // Mappings of the user's own pads sit beside the settings.
  pads_ = std::make_unique<PadInput>(
      settings, QFileInfo(settingsFile).dir().filePath(QStringLiteral("gamecontrollerdb.txt")));
  if (!pads_->started()) {
    std::fprintf(stderr, "vantor: pads and joysticks are off: %s\n",
                 pads_->error().toLocal8Bit().constData());
    return;
  }
  pads_->setCommandSink([this](PadCommand command) { router_.route(command); });
  pads_->setIgnoring([this] { return router_.ignoring(); });
}

} // namespace vantor
