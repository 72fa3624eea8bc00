#pragma once

#include "launcher/cataloguenavigator.h"

#include <QKeyCombination>
#include <QList>
#include <QString>

#include <vector>

namespace vantor {

namespace platform {
class ProfileFile;
}

// Which key gives which command on the main window. The "keys" section of
// the settings file may bind each command to keys of its own, as in
// "Play=Return 1"; a command it does not name keeps its usual keys. A key
// bound to a command gives that command, never a type-ahead character.
class KeyBindings final {
public:
  // The usual keys.
  KeyBindings();

  static KeyBindings read(const platform::ProfileFile &file);

  MainKey actionOf(int key, Qt::KeyboardModifiers modifiers, const QString &text,
                   bool autoRepeat) const;

private:
  struct Row {
    QKeyCombination key;
    MainKey action;
  };
  void bind(MainKey action, const QString &keys);

  std::vector<Row> rows_;
};

} // namespace vantor
