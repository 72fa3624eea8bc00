#pragma once

#include <QObject>
#include <functional>

namespace vantor::test {

// Counts the calls of an event handler and remembers the last sender.
struct Counter {
  int calls = 0;
  QObject *sender = nullptr;
  int count() const { return calls; }
  std::function<void(QObject *)> handler() {
    return [this](QObject *s) {
      ++calls;
      sender = s;
    };
  }
};

} // namespace vantor::test
