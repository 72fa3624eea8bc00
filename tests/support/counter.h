#pragma once

#include <QObject>
#include <functional>
#include <vector>

namespace vantor::test {

// Counts the calls of an event handler and remembers the last sender.
struct Counter {
  int calls = 0;
  QObject *sender = nullptr;
  int count() const { return calls; }
  void clear() {
    calls = 0;
    sender = nullptr;
  }
  std::function<void(QObject *)> handler() {
    return [this](QObject *s) {
      ++calls;
      sender = s;
    };
  }
};

// Records the calls of a mouse handler: sender, button and position.
struct MouseCall {
  QObject *sender = nullptr;
  Qt::MouseButton button = Qt::NoButton;
  int x = 0;
  int y = 0;
};

struct MouseRecorder {
  std::vector<MouseCall> calls;
  int count() const { return static_cast<int>(calls.size()); }
  const MouseCall &operator[](int i) const { return calls.at(static_cast<size_t>(i)); }
  const MouseCall &last() const { return calls.back(); }
  std::function<void(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> handler() {
    return [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
      calls.push_back({s, b, x, y});
    };
  }
  std::function<void(QObject *, Qt::KeyboardModifiers, int, int)> moveHandler() {
    return [this](QObject *s, Qt::KeyboardModifiers, int x, int y) {
      calls.push_back({s, Qt::NoButton, x, y});
    };
  }
};

} // namespace vantor::test
