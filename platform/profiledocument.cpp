#include "platform/profiledocument.h"

#include <QByteArrayView>

namespace vantor::platform {
namespace {

bool isAscii(QByteArrayView bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  return true;
}

// `wanted` is already trimmed UTF-8. Plain ASCII names, the usual case, are
// compared without decoding; the rest as text.
bool sameName(QByteArrayView name, const QByteArray &wanted) {
  if (isAscii(name) && isAscii(wanted))
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
  return QString::fromUtf8(name).compare(QString::fromUtf8(wanted), Qt::CaseInsensitive) == 0;
}

// "[name]" after optional blanks; anything may follow the bracket.
bool sectionName(QByteArrayView line, QByteArrayView *name = nullptr) {
  const QByteArrayView t = line.trimmed();
  if (!t.startsWith('['))
    return false;
  const qsizetype close = t.indexOf(']');
  if (close < 0)
    return false;
  if (name)
    *name = t.sliced(1, close - 1).trimmed();
  return true;
}

// A line break or NUL in a name or value would split it into lines of their
// own and could forge keys or sections: each becomes a blank.
QByteArray oneLine(const QString &text) {
  QByteArray bytes = text.toUtf8();
  for (char &c : bytes)
    if (c == '\n' || c == '\r' || c == '\0')
      c = ' ';
  return bytes;
}

QByteArray nameBytes(const QString &name) {
  return oneLine(name).trimmed();
}

bool isBlank(const QByteArray &text) {
  return QByteArrayView(text).trimmed().isEmpty();
}

QString stripQuotes(QString text) {
  if (text.size() >= 2 && ((text.front() == u'"' && text.back() == u'"') ||
                           (text.front() == u'\'' && text.back() == u'\'')))
    text = text.mid(1, text.size() - 2);
  return text.left(ProfileDocument::kMaxValueLength);
}

} // namespace

ProfileDocument::ProfileDocument(const QByteArray &data) {
  qsizetype start = 0;
  while (start < data.size()) {
    const qsizetype newline = data.indexOf('\n', start);
    if (newline < 0) {
      lines_.append({data.sliced(start), QByteArray()});
      break;
    }
    const bool cr = newline > start && data[newline - 1] == '\r';
    const qsizetype textEnd = cr ? newline - 1 : newline;
    lines_.append({data.sliced(start, textEnd - start),
                   cr ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n")});
    start = newline + 1;
  }
}

QByteArray ProfileDocument::toBytes() const {
  qsizetype size = 0;
  for (const Line &line : lines_)
    size += line.text.size() + line.end.size();
  QByteArray data;
  data.reserve(size);
  for (const Line &line : lines_) {
    data += line.text;
    data += line.end;
  }
  return data;
}

qsizetype ProfileDocument::findSection(const QByteArray &section) const {
  QByteArrayView name;
  for (qsizetype i = 0; i < lines_.size(); ++i)
    if (sectionName(lines_[i].text, &name) && sameName(name, section))
      return i;
  return -1;
}

qsizetype ProfileDocument::sectionEnd(qsizetype header) const {
  qsizetype i = header + 1;
  while (i < lines_.size() && !sectionName(lines_[i].text))
    ++i;
  return i;
}

qsizetype ProfileDocument::findKey(qsizetype header, const QByteArray &key,
                                   QByteArray *value) const {
  const qsizetype end = sectionEnd(header);
  for (qsizetype i = header + 1; i < end; ++i) {
    const QByteArray &text = lines_[i].text;
    const qsizetype eq = text.indexOf('=');
    if (eq <= 0)
      continue;
    const QByteArrayView name = QByteArrayView(text).first(eq).trimmed();
    if (!name.isEmpty() && sameName(name, key)) {
      if (value)
        *value = text.sliced(eq + 1);
      return i;
    }
  }
  return -1;
}

QString ProfileDocument::readString(const QString &section, const QString &key,
                                    const QString &def) const {
  const qsizetype header = findSection(nameBytes(section));
  QByteArray value;
  if (header >= 0 && findKey(header, nameBytes(key), &value) >= 0)
    return stripQuotes(QString::fromUtf8(value.trimmed()));
  return stripQuotes(def.trimmed());
}

bool ProfileDocument::hasKey(const QString &section, const QString &key) const {
  const qsizetype header = findSection(nameBytes(section));
  return header >= 0 && findKey(header, nameBytes(key), nullptr) >= 0;
}

bool ProfileDocument::sectionExists(const QString &section) const {
  return findSection(nameBytes(section)) >= 0;
}

QByteArray ProfileDocument::newLineEnd() const {
  if (!lines_.isEmpty() && !lines_.first().end.isEmpty())
    return lines_.first().end;
  return QByteArrayLiteral("\n");
}

void ProfileDocument::insertLine(qsizetype at, const QByteArray &text) {
  // The new line ends as the one before it did; that one, if it was the
  // file's unterminated last line, now needs a line end of its own.
  QByteArray end = newLineEnd();
  if (at > 0) {
    Line &before = lines_[at - 1];
    end = before.end;
    if (before.end.isEmpty())
      before.end = newLineEnd();
  }
  lines_.insert(at, {text, end});
}

void ProfileDocument::writeString(const QString &section, const QString &key,
                                  const QString &value) {
  const QByteArray text = oneLine(key) + '=' + oneLine(value);
  const qsizetype header = findSection(nameBytes(section));
  if (header < 0) {
    if (!lines_.isEmpty() && lines_.last().end.isEmpty())
      lines_.last().end = newLineEnd();
    const QByteArray end = newLineEnd();
    lines_.append({'[' + oneLine(section) + ']', end});
    lines_.append({text, end});
    return;
  }
  if (const qsizetype at = findKey(header, nameBytes(key), nullptr); at >= 0) {
    lines_[at].text = text;
    return;
  }
  // After the section's last non-blank line, so blank lines stay between sections.
  qsizetype end = sectionEnd(header);
  while (end > header + 1 && isBlank(lines_[end - 1].text))
    --end;
  insertLine(end, text);
}

void ProfileDocument::eraseSection(const QString &section) {
  if (const qsizetype header = findSection(nameBytes(section)); header >= 0)
    lines_.remove(header, sectionEnd(header) - header);
}

} // namespace vantor::platform
