#include "gamelist/gamelistreader.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace vantor::gamelist {
namespace {

constexpr int kNamedInNotes = 5;

bool isSetElement(QStringView name) {
  return name == u"game" || name == u"machine";
}

// A name as the user may read it, control characters shown as "?".
QString printable(QStringView name) {
  QString out = name.left(80).toString();
  for (QChar &c : out)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
      c = u'?';
  return out;
}

std::optional<quint32> crcOf(QStringView text) {
  if (text.size() != 8)
    return std::nullopt;
  quint32 crc = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const char16_t lower = u | 0x20; // upper-case CRCs are common
    if (u >= u'0' && u <= u'9')
      crc = crc << 4 | quint32(u - u'0');
    else if (lower >= u'a' && lower <= u'f')
      crc = crc << 4 | quint32(lower - u'a' + 10);
    else
      return std::nullopt;
  }
  return crc;
}

// A rom's size in bytes, as the list writes it (blanks around it allowed);
// none when it is no number or does not fit in 32 bits.
std::optional<quint32> sizeOf(QStringView text) {
  text = text.trimmed();
  if (text.startsWith(u'+'))
    text = text.mid(1);
  if (text.isEmpty())
    return std::nullopt;
  quint64 size = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u < u'0' || u > u'9')
      return std::nullopt;
    size = size * 10 + (u - u'0');
    if (size > 0xFFFFFFFFull)
      return std::nullopt;
  }
  return quint32(size);
}

// What names a list of passed-over names to the user: a few, then a count.
QString someOf(const QStringList &names) {
  QString text = names.mid(0, kNamedInNotes).join(QStringLiteral(", "));
  if (names.size() > kNamedInNotes)
    text += QStringLiteral(" and %1 more").arg(names.size() - kNamedInNotes);
  return text;
}

} // namespace

bool safeName(QStringView name) {
  if (name.isEmpty())
    return false;
  char16_t previous = 0;
  for (QChar c : name) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || u == u'/' || u == u'\\' || (u == u'.' && previous == u'.'))
      return false;
    previous = u;
  }
  return true;
}

class GameListReader::Parser final {
public:
  Parser(QIODevice &device, QString fileName, const std::atomic_bool *stop)
      : xml_(&device), fileName_(std::move(fileName)), stop_(stop),
        list_(std::make_shared<GameList>()) {
    // Only the five predefined entities are read.
    xml_.setEntityExpansionLimit(0);
    if (!device.isSequential())
      fileSize_ = device.size();
  }

  std::shared_ptr<const GameList> run() {
    readRoot();
    // Only a file that starts as a game list gets room for one.
    reserveFor(fileSize_);
    while (readChild()) {
      if (stop_ && stop_->load(std::memory_order_relaxed))
        return nullptr;
      const QStringView name = xml_.name();
      if (isSetElement(name))
        readSet();
      else
        xml_.skipCurrentElement(); // <header>, <clrmamepro>, <romcenter>, ...
    }
    // Whatever follows the root must still be well formed.
    while (!xml_.atEnd())
      xml_.readNext();
    failOnXmlError();
    finishNotes();
    return list_;
  }

private:
  [[noreturn]] void fail(const QString &reason) {
    throw Error(QStringLiteral("%1 is not a game list: %2 at line %3")
                    .arg(QDir::toNativeSeparators(fileName_), reason)
                    .arg(xml_.lineNumber()));
  }
  void failOnXmlError() {
    if (!xml_.hasError())
      return;
    if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
      fail(QStringLiteral("the file is cut off"));
    QString reason = xml_.errorString();
    while (reason.endsWith(u'.'))
      reason.chop(1);
    fail(reason.isEmpty() ? QStringLiteral("it is not well-formed XML") : reason);
  }

  void readRoot() {
    while (!xml_.atEnd() && xml_.readNext() != QXmlStreamReader::StartElement) {
      // Real lists never declare entities; expanding them is how a small
      // file grows without bound.
      if (xml_.isDTD() && !xml_.entityDeclarations().isEmpty())
        fail(QStringLiteral("it declares entities, which are not read"));
    }
    failOnXmlError();
    if (!xml_.isStartElement())
      fail(QStringLiteral("there is no root element"));
    if (xml_.name() == u"datafile")
      return;
    // The emulators' form names its root after the program; what marks it is
    // that its entries are <machine> or <game> elements.
    const QString root = xml_.name().toString();
    if (!readChild())
      fail(QStringLiteral("the root element <%1> holds no games").arg(printable(root)));
    if (!isSetElement(xml_.name()))
      fail(QStringLiteral("the root element <%1> holds <%2>, not games")
               .arg(printable(root), printable(xml_.name())));
    pendingSet_ = true;
  }

  // Moves to the next child of the current element; false at its end.
  bool readChild() {
    if (pendingSet_) {
      pendingSet_ = false;
      return true;
    }
    return xml_.readNextStartElement();
  }

  // Room for what a list of that size usually holds: a rom line of about
  // 130 bytes, a set per 1.5 KB, a name of about 13 bytes, and the sets'
  // titles, makers and years beside the rom names. The name table is filled
  // with empty slots at once, so the guess stops at the size of the largest
  // real lists; a bigger file grows its tables as it goes.
  void reserveFor(qint64 fileSize) {
    constexpr qint64 kLargestRealList = 128 << 20;
    fileSize = std::clamp(fileSize, qint64(0), kLargestRealList);
    const qsizetype roms = qsizetype(fileSize / 128);
    const qsizetype sets = qsizetype(fileSize / 1024);
    list_->roms_.reserve(size_t(roms));
    list_->sets_.reserve(size_t(sets));
    list_->byFoldedName_.reserve(sets);
    list_->strings_.reserve(roms + 3 * sets, roms * 16);
  }

  quint32 intern(QStringView text) {
    buffer_.resize(text.size());
    char *out = buffer_.data();
    for (QChar c : text) {
      const char16_t u = c.unicode();
      if (u >= 0x80)
        return list_->strings_.intern(text.toUtf8());
      // Texts are shown on one line.
      *out++ = u < 0x20 ? ' ' : char(u);
    }
    return list_->strings_.intern(buffer_);
  }
  quint32 internName(QStringView name) { return safeName(name) ? intern(name) : 0; }

  // Points each wanted view at its attribute's value, where there is one.
  static void take(const QXmlStreamAttributes &attributes,
                   std::initializer_list<std::pair<QStringView, QStringView *>> wanted) {
    for (const QXmlStreamAttribute &attribute : attributes) {
      const QStringView key = attribute.qualifiedName();
      for (const auto &[name, value] : wanted)
        if (key == name)
          *value = attribute.value();
    }
  }

  // The attributes are read as views into the reader's own buffer, each
  // looked at once; the copy of the list is let go before the reader moves
  // on, so that the reader never has to copy its buffer for us.
  void readSet() {
    GameSet set;
    QString folded;
    {
      QStringView name, cloneOf, romOf, isBios;
      const QXmlStreamAttributes attributes = xml_.attributes();
      take(attributes,
           {{u"name", &name}, {u"cloneof", &cloneOf}, {u"romof", &romOf}, {u"isbios", &isBios}});
      if (!safeName(name)) {
        unsafeSets_ << printable(name);
        xml_.skipCurrentElement();
        return;
      }
      if (list_->sets_.size() >= size_t(GameListReader::kMaxSets))
        fail(QStringLiteral("it has more than %1 games").arg(GameListReader::kMaxSets));
      folded = name.toString().toLower();
      if (list_->byFoldedName_.contains(folded)) {
        duplicates_ << printable(name);
        xml_.skipCurrentElement();
        return;
      }
      set.name = intern(name);
      set.cloneOf = internName(cloneOf);
      set.romOf = internName(romOf);
      set.bios = isBios == u"yes";
    }
    set.firstRom = quint32(list_->roms_.size());
    while (xml_.readNextStartElement()) {
      const QStringView element = xml_.name();
      if (element == u"rom")
        readRom(set.name);
      else if (element == u"description")
        set.title = internText();
      else if (element == u"manufacturer")
        set.maker = internText();
      else if (element == u"year")
        set.year = internText();
      else
        xml_.skipCurrentElement(); // <disk>, <sample>, <driver>, ...
    }
    set.romCount = quint32(list_->roms_.size()) - set.firstRom;
    list_->byFoldedName_.insert(folded, int(list_->sets_.size()));
    list_->sets_.push_back(set);
  }

  quint32 internText() {
    return intern(QStringView(xml_.readElementText(QXmlStreamReader::SkipChildElements)).trimmed());
  }

  void readRom(quint32 setName) {
    {
      QStringView name, merge, size, crc, status;
      const QXmlStreamAttributes attributes = xml_.attributes();
      take(attributes, {{u"name", &name},
                        {u"merge", &merge},
                        {u"size", &size},
                        {u"crc", &crc},
                        {u"status", &status}});
      if (safeName(name))
        addRom(name, merge, size, crc, status);
      else
        unsafeRoms_ << QStringLiteral("%1 in %2").arg(printable(name), list_->text(setName));
    }
    xml_.skipCurrentElement();
  }

  void addRom(QStringView name, QStringView merge, QStringView size, QStringView crc,
              QStringView status) {
    if (qsizetype(list_->roms_.size()) >= GameListReader::kMaxRoms)
      fail(QStringLiteral("it has more than %1 roms").arg(GameListReader::kMaxRoms));
    Rom rom;
    rom.name = intern(name);
    rom.merge = internName(merge);
    if (const auto bytes = sizeOf(size)) {
      rom.size = *bytes;
      rom.flags |= Rom::HasSize;
    }
    if (const auto value = crcOf(crc)) {
      rom.crc = *value;
      rom.flags |= Rom::HasCrc;
    }
    if (status == u"nodump")
      rom.flags |= Rom::NoDump;
    list_->roms_.push_back(rom);
  }

  void finishNotes() {
    if (!duplicates_.isEmpty())
      list_->notes_ << QStringLiteral("%1 sets are listed more than once; the first of each is "
                                      "used: %2")
                           .arg(duplicates_.size())
                           .arg(someOf(duplicates_));
    if (!unsafeSets_.isEmpty())
      list_->notes_ << QStringLiteral("%1 sets have names that cannot be file names and are "
                                      "passed over: %2")
                           .arg(unsafeSets_.size())
                           .arg(someOf(unsafeSets_));
    if (!unsafeRoms_.isEmpty())
      list_->notes_ << QStringLiteral("%1 roms have names that cannot be file names and are "
                                      "passed over: %2")
                           .arg(unsafeRoms_.size())
                           .arg(someOf(unsafeRoms_));
  }

  QXmlStreamReader xml_;
  QString fileName_;
  const std::atomic_bool *stop_;
  std::shared_ptr<GameList> list_;
  QByteArray buffer_;
  bool pendingSet_ = false;
  qint64 fileSize_ = 0;
  QStringList duplicates_, unsafeSets_, unsafeRoms_;
};

std::shared_ptr<const GameList> GameListReader::read(QIODevice &device, const QString &fileName,
                                                     const std::atomic_bool *stop) {
  return Parser(device, fileName, stop).run();
}

std::shared_ptr<const GameList> GameListReader::readFile(const QString &path,
                                                         const std::atomic_bool *stop) {
  QFile file(path);
  // The reader takes the file in its own chunks; a second buffer would only copy them.
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    throw Error(QStringLiteral("The game list %1 cannot be read: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString()));
  if (file.size() > kMaxFileSize)
    throw Error(QStringLiteral("%1 is not read as a game list: it is larger than %2 MB")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(kMaxFileSize >> 20));
  return read(file, path, stop);
}

bool GameListReader::looksLikeGameList(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  QXmlStreamReader xml(&file);
  xml.setEntityExpansionLimit(0);
  if (!xml.readNextStartElement())
    return false;
  if (xml.name() == u"datafile")
    return true;
  return xml.readNextStartElement() && isSetElement(xml.name());
}

} // namespace vantor::gamelist
