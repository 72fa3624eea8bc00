#include "profile.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {

// The file as raw lines, so bytes we do not understand survive a rewrite.
struct ProfileFile::Document {
  QList<QByteArray> lines;
  QByteArray eol = "\n";
  bool finalNewline = true;

  static QByteArray trimmed(const QByteArray &s) { return s.trimmed(); }

  static bool isSectionLine(const QByteArray &line, QByteArray *name = nullptr) {
    const QByteArray t = trimmed(line);
    if (!t.startsWith('['))
      return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
      return false;
    if (name)
      *name = t.mid(1, close - 1).trimmed();
    return true;
  }

  static bool keyOf(const QByteArray &line, QByteArray *key, QByteArray *value = nullptr) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
      return false;
    *key = line.left(eq).trimmed();
    if (value)
      *value = line.mid(eq + 1);
    return !key->isEmpty();
  }

  static bool sameName(const QByteArray &a, const QString &b) {
    return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
  }

  // Index of the section's header line, or -1.
  qsizetype findSection(const QString &section) const {
    QByteArray name;
    for (qsizetype i = 0; i < lines.size(); ++i)
      if (isSectionLine(lines[i], &name) && sameName(name, section))
        return i;
    return -1;
  }

  // One past the section's last line (the next header or the end).
  qsizetype sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < lines.size() && !isSectionLine(lines[i]))
      ++i;
    return i;
  }

  qsizetype findKey(qsizetype header, const QString &key, QByteArray *value = nullptr) const {
    const qsizetype end = sectionEnd(header);
    QByteArray k;
    for (qsizetype i = header + 1; i < end; ++i)
      if (keyOf(lines[i], &k, value) && sameName(k, key))
        return i;
    return -1;
  }
};

namespace {

ProfileFile::SaveFault &saveFault() {
  static ProfileFile::SaveFault fault;
  return fault;
}

bool failsAt(ProfileFile::SaveStep step) {
  return saveFault() && saveFault()(step);
}

// A line break or NUL in a value would split it into lines of their own and
// could forge keys or sections: each becomes a blank.
QByteArray oneLine(const QString &text) {
  QByteArray bytes = text.toUtf8();
  for (char &c : bytes)
    if (c == '\n' || c == '\r' || c == '\0')
      c = ' ';
  return bytes;
}

bool writeAll(int fd, const QByteArray &data) {
  const char *p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

void ProfileFile::setSaveFault(SaveFault fault) {
  saveFault() = std::move(fault);
}

ProfileFile::Document ProfileFile::load() const {
  Document doc;
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly))
    return doc;
  const QByteArray data = file.readAll();
  if (data.isEmpty())
    return doc;
  doc.lines = data.split('\n');
  doc.finalNewline = data.endsWith('\n');
  if (doc.finalNewline)
    doc.lines.removeLast();
  const bool crlf = !doc.lines.isEmpty() && doc.lines.first().endsWith('\r');
  if (crlf)
    doc.eol = "\r\n";
  for (QByteArray &line : doc.lines)
    if (line.endsWith('\r'))
      line.chop(1);
  return doc;
}

// The owner's write bit decides, even for root: a file or folder the user made
// read-only is refused as it would be for anyone else.
bool ProfileFile::writable(const QString &path) {
  struct stat st {};
  const QByteArray native = QFile::encodeName(path);
  if (::stat(native.constData(), &st) == 0 && (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)))
    return false;
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) &&
         ::access(folder.constData(), W_OK) == 0;
}

void ProfileFile::refuse() const {
  throw InOutError(QStringLiteral("Unable to write to %1").arg(path_));
}

void ProfileFile::save(const Document &doc) const {
  if (!writable(path_))
    refuse();
  QByteArray data;
  for (qsizetype i = 0; i < doc.lines.size(); ++i) {
    data += doc.lines[i];
    if (i + 1 < doc.lines.size() || doc.finalNewline)
      data += doc.eol;
  }
  // A settings file that is a link is written where the link points.
  const QFileInfo info(path_);
  const QByteArray target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path_);
  const QByteArray temp = target + ".tmp~";
  struct stat st {};
  const mode_t mode = ::stat(target.constData(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  ::unlink(temp.constData());
  const int fd =
      failsAt(SaveStep::Open)
          ? -1
          : ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0)
    refuse();
  // The new file keeps the old one's permissions.
  const bool written = ::fchmod(fd, mode) == 0 && !failsAt(SaveStep::Write) && writeAll(fd, data);
  const bool flushed = written && !failsAt(SaveStep::Flush) && ::fsync(fd) == 0;
  ::close(fd);
  if (!flushed || failsAt(SaveStep::Rename) ||
      ::rename(temp.constData(), target.constData()) != 0) {
    ::unlink(temp.constData());
    refuse();
  }
}

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &def) const {
  const Document doc = load();
  QByteArray value;
  const qsizetype header = doc.findSection(section);
  QString result = def.trimmed();
  if (header >= 0 && doc.findKey(header, key, &value) >= 0)
    result = QString::fromUtf8(value.trimmed());
  if (result.size() >= 2 && ((result.front() == u'"' && result.back() == u'"') ||
                             (result.front() == u'\'' && result.back() == u'\'')))
    result = result.mid(1, result.size() - 2);
  return result.left(MaxValueLength);
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

bool ProfileFile::sectionExists(const QString &section) const {
  return load().findSection(section) >= 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value) {
  Document doc = load();
  const QByteArray line = oneLine(key) + '=' + oneLine(value);
  qsizetype header = doc.findSection(section);
  if (header < 0) {
    doc.lines.append('[' + oneLine(section) + ']');
    doc.lines.append(line);
    doc.finalNewline = true;
  } else if (const qsizetype at = doc.findKey(header, key); at >= 0) {
    doc.lines[at] = line;
  } else {
    // After the section's last non-blank line, so trailing blanks stay between sections.
    qsizetype end = doc.sectionEnd(header);
    while (end > header + 1 && doc.lines[end - 1].trimmed().isEmpty())
      --end;
    doc.lines.insert(end, line);
  }
  save(doc);
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value) {
  writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value) {
  writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::eraseSection(const QString &section) {
  Document doc = load();
  const qsizetype header = doc.findSection(section);
  if (header < 0) {
    // Nothing to erase, but an unwritable file is still refused.
    if (QFileInfo::exists(path_) && !writable(path_))
      refuse();
    return;
  }
  doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + doc.sectionEnd(header));
  save(doc);
}

} // namespace vantor::platform
