#include "platform/profile.h"

#include <QFileInfo>

namespace vantor::platform {

ProfileFile::ProfileFile(QString path, Mode mode) : store_(std::move(path)), mode_(mode) {}

void ProfileFile::Change::applyTo(ProfileDocument &doc) const {
  if (key)
    doc.writeString(section, *key, value);
  else
    doc.eraseSection(section);
}

const ProfileDocument &ProfileFile::document() const {
  if (mode_ == Mode::Immediate || !loaded_) {
    loaded_.emplace(store_.read());
    // Reads in a batch see its own writes.
    for (const Change &change : held_)
      change.applyTo(*loaded_);
  }
  return *loaded_;
}

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &def) const {
  return document().readString(section, key, def);
}

int ProfileFile::readInteger(const QString &section, const QString &key, int def) const {
  const QString text = readString(section, key, QString());
  bool ok = false;
  int value = 0;
  if (text.size() > 2 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    value = static_cast<int>(text.mid(2).toUInt(&ok, 16));
  else
    value = text.toInt(&ok, 10);
  return ok ? value : def;
}

bool ProfileFile::hasKey(const QString &section, const QString &key) const {
  return document().hasKey(section, key);
}

bool ProfileFile::sectionExists(const QString &section) const {
  return document().sectionExists(section);
}

void ProfileFile::apply(Change change) {
  if (mode_ == Mode::Batch) {
    if (loaded_)
      change.applyTo(*loaded_);
    held_.append(std::move(change));
    return;
  }
  store_.update([&](const QByteArray &current) {
    ProfileDocument doc(current);
    change.applyTo(doc);
    return doc.toBytes();
  });
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value) {
  apply({section, key, value});
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value) {
  writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value) {
  writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::eraseSection(const QString &section) {
  if (mode_ == Mode::Immediate) {
    // Nothing to erase, but an unwritable file (or links that loop) is still refused.
    if (!sectionExists(section)) {
      if (const QFileInfo info(path()); info.exists() || info.isSymLink())
        store_.checkWritable();
      return;
    }
  }
  apply({section, std::nullopt, QString()});
}

void ProfileFile::takeHeldFrom(ProfileFile &other) {
  for (Change &change : other.held_)
    apply(std::move(change));
  other.held_.clear();
  other.loaded_.reset();
}

void ProfileFile::commit() {
  const QList<Change> changes = std::move(held_);
  held_.clear();
  loaded_.reset();
  if (changes.isEmpty())
    return;
  store_.update([&](const QByteArray &current) {
    ProfileDocument doc(current);
    for (const Change &change : changes)
      change.applyTo(doc);
    return doc.toBytes();
  });
}

} // namespace vantor::platform
