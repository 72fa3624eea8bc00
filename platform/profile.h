#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace vantor::platform {

// An INI file with the private-profile semantics: case-blind section and key
// names, keys rewritten in place, new keys at the end of their section, new
// sections at the end of the file, and every line it does not understand kept
// as it is. Each call reads the file afresh and each write replaces it whole
// through a temporary file, so a crash mid-save never leaves it truncated.
class ProfileFile final {
public:
  static constexpr int MaxValueLength = 1023;

  explicit ProfileFile(QString path);

  const QString &path() const { return path_; }

  // Trimmed value without one pair of enclosing quotes, at most 1023 characters.
  QString readString(const QString &section, const QString &key, const QString &def) const;
  // "0x" prefix means hexadecimal; a value that is not a number gives `def`.
  int readInteger(const QString &section, const QString &key, int def) const;
  bool sectionExists(const QString &section) const;

  // These throw InOutError("Unable to write to <path>") when the file cannot be written.
  void writeString(const QString &section, const QString &key, const QString &value);
  void writeInteger(const QString &section, const QString &key, int value);
  void writeBool(const QString &section, const QString &key, bool value);
  void eraseSection(const QString &section);

  // Steps of a save, for tests that interrupt one.
  enum class SaveStep { Open, Write, Flush, Rename };
  using SaveFault = std::function<bool(SaveStep)>; // true = fail at this step
  static void setSaveFault(SaveFault fault);

private:
  struct Document;
  Document load() const;
  void save(const Document &doc) const;
  [[noreturn]] void refuse() const;
  static bool writable(const QString &path);

  QString path_;
};

} // namespace vantor::platform
