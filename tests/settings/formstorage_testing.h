#pragma once

#include "platform/usermessage.h"

// Shared by the settings-file tests: a fixed screen, a recorded error box and
// the file's lines.

#include "platform/profile.h"
#include "settings/formplacement.h"
#include "settings/windowplacement.h"

#include <QFile>
#include <QStringList>
#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace vantor::test {

// Placements are keyed by the screen; tests fix it to the one they describe.
class FixedScreen {
public:
  explicit FixedScreen(QSize size = {1024, 768}, int pixelsPerInch = 96) {
    set(size, pixelsPerInch);
  }
  ~FixedScreen() { setScreenSource({}); }
  void set(QSize size, int pixelsPerInch) {
    setScreenSource([size, pixelsPerInch] { return ScreenMetrics{size, pixelsPerInch, {}}; });
  }
};

// Records what the hooks would show in the error box.
class RecordedErrors {
public:
  QStringList messages;

private:
  ScopedMessagePresenter presenter_{
      [this](const UserMessage &message) { messages.append(message.text); }};
};

// Makes the settings file refuse every write while it lives.
class RefusedWrites {
public:
  RefusedWrites() {
    platform::ProfileFile::setSaveFault([](platform::ProfileFile::SaveStep step) {
      return step == platform::ProfileFile::SaveStep::Open;
    });
  }
  ~RefusedWrites() { platform::ProfileFile::setSaveFault({}); }
};

inline QStringList fileLines(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
  if (!lines.isEmpty() && lines.last().isEmpty())
    lines.removeLast();
  return lines;
}

inline void writeLines(const QString &path, const QStringList &lines) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write((lines.join(u'\n') + u'\n').toUtf8());
}

// The lines of one section of an INI file, without its header.
inline QStringList sectionLines(const QString &path, const QString &name) {
  const QStringList lines = fileLines(path);
  const qsizetype at = lines.indexOf(u'[' + name + u']');
  if (at < 0)
    return {};
  qsizetype end = at + 1;
  while (end < lines.size() && !lines[end].startsWith(u'['))
    ++end;
  return lines.mid(at + 1, end - at - 1);
}

} // namespace vantor::test
