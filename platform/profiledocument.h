#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantor::platform {

// The settings file's text as lines, each with its own line end, so a rewrite
// gives back every byte of the lines it does not change. Section and key names
// compare without regard to case; an existing key is replaced in place, a new
// key goes after its section's last non-blank line and a new section at the
// end of the file.
class ProfileDocument final {
public:
  static constexpr int kMaxValueLength = 1023;

  ProfileDocument() = default;
  explicit ProfileDocument(const QByteArray &data);

  QByteArray toBytes() const;

  // Trimmed value without one pair of enclosing quotes, at most 1023
  // characters; `def`, treated the same way, when the key is missing.
  QString readString(const QString &section, const QString &key, const QString &def) const;
  bool hasKey(const QString &section, const QString &key) const;
  bool sectionExists(const QString &section) const;

  void writeString(const QString &section, const QString &key, const QString &value);
  void eraseSection(const QString &section);

private:
  struct Line {
    QByteArray text; // without its line end
    QByteArray end;  // "\n", "\r\n", or empty for a last line without one
  };

  qsizetype findSection(const QByteArray &section) const;
  qsizetype sectionEnd(qsizetype header) const;
  qsizetype findKey(qsizetype header, const QByteArray &key, QByteArray *value) const;
  // The line end new lines get: that of the file's first line, LF for a new file.
  QByteArray newLineEnd() const;
  void insertLine(qsizetype at, const QByteArray &text);

  QList<Line> lines_;
};

} // namespace vantor::platform
