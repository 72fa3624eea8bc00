#include "launcher/keybindings.h"

#include "platform/profile.h"

#include <QKeySequence>
#include <QRegularExpression>

#include <algorithm>

namespace vantor {
namespace {

const QString kSection = QStringLiteral("keys");

struct Command {
  MainKey action;
  const char *name;
};

constexpr Command kCommands[] = {
    {MainKey::Play, "Play"},         {MainKey::About, "About"},  {MainKey::Setup, "Setup"},
    {MainKey::Back, "Previous"},     {MainKey::Forward, "Next"}, {MainKey::PageBack, "TenBack"},
    {MainKey::PageForward, "TenOn"}, {MainKey::First, "First"},  {MainKey::Last, "Last"},
    {MainKey::UseDel, "UseDelete"},  {MainKey::Skin, "Skin"},
};

struct DefaultKey {
  int key;
  MainKey action;
};

constexpr DefaultKey kDefaults[] = {
    {Qt::Key_Return, MainKey::Play},
    {Qt::Key_Enter, MainKey::Play},
    {Qt::Key_F1, MainKey::About},
    {Qt::Key_F2, MainKey::Setup},
    {Qt::Key_F3, MainKey::Skin},
    {Qt::Key_Insert, MainKey::UseDel},
    {Qt::Key_Escape, MainKey::Nothing},
    {Qt::Key_Left, MainKey::Back},
    {Qt::Key_Right, MainKey::Forward},
    {Qt::Key_PageUp, MainKey::PageBack},
    {Qt::Key_PageDown, MainKey::PageForward},
    {Qt::Key_Home, MainKey::First},
    {Qt::Key_End, MainKey::Last},
};

// The modifiers that make a key another key; Shift and the keypad do not.
constexpr Qt::KeyboardModifiers kShortcutModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// A held key goes on acting only for the movements; else its repeats are
// swallowed.
bool repeats(MainKey action) {
  switch (action) {
  case MainKey::Nothing:
  case MainKey::Back:
  case MainKey::Forward:
  case MainKey::PageBack:
  case MainKey::PageForward:
  case MainKey::First:
  case MainKey::Last:
    return true;
  default:
    return false;
  }
}

} // namespace

KeyBindings::KeyBindings() {
  for (const DefaultKey &d : kDefaults)
    rows_.push_back({QKeyCombination(Qt::Key(d.key)), d.action});
}

KeyBindings KeyBindings::read(const platform::ProfileFile &file) {
  KeyBindings bindings;
  if (!file.sectionExists(kSection))
    return bindings;
  for (const Command &c : kCommands) {
    const QString name = QLatin1String(c.name);
    if (file.hasKey(kSection, name))
      bindings.bind(c.action, file.readString(kSection, name, QString()));
  }
  return bindings;
}

// The command's keys become the ones listed; a key listed here leaves any
// other command it gave, so the file always wins over the usual keys.
void KeyBindings::bind(MainKey action, const QString &keys) {
  std::erase_if(rows_, [&](const Row &row) { return row.action == action; });
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  for (const QString &word : keys.split(blanks, Qt::SkipEmptyParts)) {
    const QKeySequence sequence = QKeySequence::fromString(word, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
      continue; // not a key's name; the others still count
    const QKeyCombination key(sequence[0].keyboardModifiers() & kShortcutModifiers,
                              sequence[0].key());
    std::erase_if(rows_, [&](const Row &row) { return row.key == key; });
    rows_.push_back({key, action});
  }
}

MainKey KeyBindings::actionOf(int key, Qt::KeyboardModifiers modifiers, const QString &text,
                              bool autoRepeat) const {
  // AltGr and the like make the key some other key of no command.
  if (modifiers & ~(kShortcutModifiers | Qt::ShiftModifier | Qt::KeypadModifier))
    return MainKey::None;
  const QKeyCombination pressed(modifiers & kShortcutModifiers, Qt::Key(key));
  for (const Row &row : rows_)
    if (row.key == pressed)
      return !autoRepeat || repeats(row.action) ? row.action : MainKey::Nothing;
  // With Ctrl, Alt or Meta an unbound key is a shortcut, not the window's.
  if (modifiers & kShortcutModifiers)
    return MainKey::None;
  if (text.size() == 1 && text[0].isLetterOrNumber())
    return autoRepeat ? MainKey::Nothing : MainKey::Type;
  return MainKey::None;
}

} // namespace vantor
