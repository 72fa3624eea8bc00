#pragma once

#include "platform/profiledocument.h"
#include "platform/profilestore.h"

#include <QList>
#include <QString>
#include <optional>

namespace vantor::platform {

// An INI file with the private-profile semantics: case-blind section and key
// names, keys rewritten in place, new keys at the end of their section, new
// sections at the end of the file, and every byte of the lines a write does
// not change kept as it is.
//
// Immediate: each read loads the file and each write replaces it, as one
// change of its own. Batch: one load serves every read and the writes are
// held until commit() makes them all in one replacement, re-applied to the
// file as it is then, so a save is all or nothing and keeps what another
// program wrote meanwhile.
class ProfileFile final {
public:
  static constexpr int kMaxValueLength = ProfileDocument::kMaxValueLength;
  enum class Mode { Immediate, Batch };

  explicit ProfileFile(QString path, Mode mode = Mode::Immediate);

  const QString &path() const { return store_.path(); }

  // Trimmed value without one pair of enclosing quotes, at most 1023 characters.
  QString readString(const QString &section, const QString &key, const QString &def) const;
  // "0x" prefix means hexadecimal; a value that is not a number gives `def`.
  int readInteger(const QString &section, const QString &key, int def) const;
  bool hasKey(const QString &section, const QString &key) const;
  bool sectionExists(const QString &section) const;

  // These throw InOutError("Unable to write to <path>") when the file cannot
  // be written; in batch mode the commit does.
  void writeString(const QString &section, const QString &key, const QString &value);
  void writeInteger(const QString &section, const QString &key, int value);
  void writeBool(const QString &section, const QString &key, bool value);
  void eraseSection(const QString &section);

  // Writes the held changes in one replacement of the file; nothing when
  // there are none. The held changes are dropped either way.
  void commit();
  // Moves the held changes of `other`, a batch of the same file, to the end
  // of this batch's, so several saves can be committed as one.
  void takeHeldFrom(ProfileFile &other);

  // Steps of a save, for tests that interrupt or count them.
  using SaveStep = ProfileStore::Step;
  using SaveFault = ProfileStore::Fault;
  static void setSaveFault(SaveFault fault) { ProfileStore::setFault(std::move(fault)); }

private:
  struct Change {
    QString section;
    std::optional<QString> key; // none: erase the section
    QString value;
    void applyTo(ProfileDocument &doc) const;
  };
  const ProfileDocument &document() const;
  void apply(Change change);

  ProfileStore store_;
  Mode mode_;
  mutable std::optional<ProfileDocument> loaded_;
  QList<Change> held_;
};

} // namespace vantor::platform
