#include "gamepad/padsettings.h"

#include "platform/profile.h"

#include <SDL.h>

#include <QRegularExpression>

namespace vantor {
namespace {

const QString kSection = QStringLiteral("pads");

constexpr const char *kCommandNames[PadSettings::kCommandCount] = {
    "Previous", "Next", "TenBack", "TenOn", "Play", "Cancel", "UseDelete", "Skin", "Setup", "About",
};

// Longest first repeat and slowest rate a setting may ask for: a typo must
// not leave a held stick dead for minutes.
constexpr int kLongestDelay = 5000;
constexpr int kFewestPerSecond = 1;
constexpr int kMostPerSecond = 100;

// Words separated by blanks or plus signs: "Back+Start", "6 7".
QStringList wordsOf(const QString &text) {
  static const QRegularExpression separators(QStringLiteral("[\\s+]+"));
  return text.split(separators, Qt::SkipEmptyParts);
}

std::vector<int> buttonNames(const QString &text) {
  std::vector<int> buttons;
  for (const QString &word : wordsOf(text)) {
    const int button = SDL_GameControllerGetButtonFromString(word.toLower().toLatin1().constData());
    if (button == SDL_CONTROLLER_BUTTON_INVALID)
      return {};
    buttons.push_back(button);
  }
  return buttons;
}

std::vector<int> buttonNumbers(const QString &text) {
  std::vector<int> buttons;
  for (const QString &word : wordsOf(text)) {
    bool ok = false;
    const int button = word.toInt(&ok);
    if (!ok || button < 0)
      return {};
    buttons.push_back(button);
  }
  return buttons;
}

} // namespace

QString joystickKeyOf(PadCommand command) {
  return QStringLiteral("Joystick") + QLatin1String(kCommandNames[int(command)]);
}

PadSettings::PadSettings() {
  joystickButtons.fill(-1);
  joystickButtons[int(PadCommand::Accept)] = 0;
  joystickButtons[int(PadCommand::Cancel)] = 1;
  quitButtons = {SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START};
}

std::optional<PadCommand> PadSettings::joystickCommand(int button) const {
  for (int i = 0; i < kCommandCount; ++i)
    if (joystickButtons[size_t(i)] == button && button >= 0)
      return PadCommand(i);
  return std::nullopt;
}

PadSettings PadSettings::read(const platform::ProfileFile &file, int keyboardRate) {
  PadSettings settings;
  const int rate = file.readInteger(kSection, QStringLiteral("RepeatRate"), keyboardRate);
  if (rate >= kFewestPerSecond && rate <= kMostPerSecond)
    settings.repeatInterval = std::uint32_t(1000 / rate);
  const int delay = file.readInteger(kSection, QStringLiteral("RepeatDelay"), -1);
  if (delay >= 0 && delay <= kLongestDelay)
    settings.repeatDelay = std::uint32_t(delay);
  for (int i = 0; i < kCommandCount; ++i) {
    const int button = file.readInteger(kSection, joystickKeyOf(PadCommand(i)), -2);
    if (button >= -1)
      settings.joystickButtons[size_t(i)] = button;
  }
  settings.cabinet = file.readInteger(kSection, QStringLiteral("Cabinet"), 0) != 0;
  if (file.hasKey(kSection, QStringLiteral("Quit")))
    settings.quitButtons =
        buttonNames(file.readString(kSection, QStringLiteral("Quit"), QString()));
  settings.joystickQuitButtons =
      buttonNumbers(file.readString(kSection, QStringLiteral("JoystickQuit"), QString()));
  return settings;
}

} // namespace vantor
