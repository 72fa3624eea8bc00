// The settings file's reader and writer: read a file, change one key, write
// it, read it back. The changed key reads back what was written, every other
// key reads as before, and every line but the changed one keeps its bytes.
//
// Input: byte 0 picks the section, byte 1 the key (an existing one, or a new
// one past the end), bytes 2-9 are the value, the rest is the file.
#include "platform/profiledocument.h"

#include <QByteArrayView>
#include <QList>
#include <cstdint>
#include <cstdlib>

using vantor::platform::ProfileDocument;

namespace {

struct Line {
  QByteArray text, end;
  bool operator==(const Line &) const = default;
};

QList<Line> splitLines(const QByteArray &data) {
  QList<Line> lines;
  qsizetype start = 0;
  while (start < data.size()) {
    const qsizetype nl = data.indexOf('\n', start);
    if (nl < 0) {
      lines.append({data.mid(start), {}});
      break;
    }
    const bool cr = nl > start && data[nl - 1] == '\r';
    lines.append({data.mid(start, nl - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    start = nl + 1;
  }
  return lines;
}

struct Section {
  QString name;
  QStringList keys;
};

// Names never hold what would break their line.
bool writable(QByteArrayView name) {
  return !name.contains('\0') && !name.contains('\r') && !name.contains('\n');
}

// Sections and keys as a reader of the format sees them.
QList<Section> namesOf(const QList<Line> &lines) {
  QList<Section> sections;
  for (const Line &line : lines) {
    const QByteArrayView t = QByteArrayView(line.text).trimmed();
    if (t.startsWith('[') && t.contains(']')) {
      const QByteArrayView name = t.sliced(1, t.indexOf(']') - 1).trimmed();
      // Sections the program could not name are passed over, keys and all.
      sections.append({writable(name) ? QString::fromUtf8(name) : QString(), {}});
      continue;
    }
    const qsizetype eq = line.text.indexOf('=');
    const QByteArray key = line.text.left(eq).trimmed();
    // A name the program could write: no key of its own opens with a bracket.
    if (!sections.isEmpty() && eq > 0 && !key.isEmpty() && !key.startsWith('[') && writable(key))
      sections.last().keys.append(QString::fromUtf8(key));
  }
  return sections;
}

QByteArray oneLine(const QString &text) {
  QByteArray bytes = text.toUtf8();
  for (char &c : bytes)
    if (c == '\n' || c == '\r' || c == '\0')
      c = ' ';
  return bytes;
}

void check(bool ok) {
  if (!ok)
    std::abort();
}

bool same(const QString &a, const QString &b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 10)
    return 0;
  const QByteArray before(reinterpret_cast<const char *>(data) + 10,
                          static_cast<qsizetype>(size - 10));
  const QList<Line> beforeLines = splitLines(before);
  const QList<Section> sections = namesOf(beforeLines);

  QString section = QStringLiteral("fuzzsection");
  QString key = QStringLiteral("fuzzkey");
  if (data[0] < sections.size() && !sections[data[0]].name.isEmpty()) {
    section = sections[data[0]].name;
    if (data[1] < sections[data[0]].keys.size())
      key = sections[data[0]].keys[data[1]];
  }
  const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, 8);

  ProfileDocument doc(before);
  check(doc.toBytes() == before);
  const ProfileDocument original(before);
  doc.writeString(section, key, value);
  const QByteArray after = doc.toBytes();
  const ProfileDocument reread(after);

  // What the written value reads back as: breaks become blanks, then the
  // read's trimming and quote stripping.
  const QByteArray stored = oneLine(value);
  QString expected = QString::fromUtf8(stored.trimmed());
  if (expected.size() >= 2 && ((expected.front() == u'"' && expected.back() == u'"') ||
                               (expected.front() == u'\'' && expected.back() == u'\'')))
    expected = expected.mid(1, expected.size() - 2);
  const QString missing(QChar(0xFFFF));
  check(reread.readString(section, key, missing) == expected);

  for (const Section &s : sections)
    for (const QString &k : s.name.isEmpty() ? QStringList() : s.keys)
      if (!same(s.name, section) || !same(k, key))
        check(original.readString(s.name, k, missing) == reread.readString(s.name, k, missing));

  // Lines outside the change are byte for byte the same.
  const QList<Line> afterLines = splitLines(after);
  qsizetype head = 0;
  while (head < beforeLines.size() && head < afterLines.size() &&
         beforeLines[head] == afterLines[head])
    ++head;
  qsizetype tail = 0;
  while (tail < beforeLines.size() - head && tail < afterLines.size() - head &&
         beforeLines[beforeLines.size() - 1 - tail] == afterLines[afterLines.size() - 1 - tail])
    ++tail;
  const qsizetype removed = beforeLines.size() - head - tail;
  const qsizetype added = afterLines.size() - head - tail;
  // Writing the value a key already holds leaves the file as it was.
  if (removed == 0 && added == 0) {
    check(before.contains(oneLine(key) + '=' + stored));
    return 0;
  }
  check(removed <= 1 && added >= 1 && added <= removed + 2);
  if (removed == 1 && added == 1) {
    // A key rewritten in place keeps its line end.
    check(afterLines[head].end == beforeLines[head].end);
    check(afterLines[head].text == oneLine(key) + '=' + stored);
  } else if (removed == 1) {
    // Only an unterminated last line may change: it gains a line end.
    check(head + 1 == beforeLines.size() && beforeLines[head].end.isEmpty());
    // (a trailing CR and the new LF then read as one CR LF).
    check((afterLines[head].text + afterLines[head].end).startsWith(beforeLines[head].text) &&
          !afterLines[head].end.isEmpty());
  }
  return 0;
}
