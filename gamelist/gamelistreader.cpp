#include "gamelist/gamelistreader.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

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
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const char16_t lower = u | 0x20; // upper-case CRCs are common
    if (!(u >= u'0' && u <= u'9') && !(lower >= u'a' && lower <= u'f'))
      return std::nullopt;
  }
  return text.toUInt(nullptr, 16);
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
  if (name.isEmpty() || name.contains(u"..") || name.contains(u'/') || name.contains(u'\\'))
    return false;
  for (QChar c : name)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
      return false;
  return true;
}

class GameListReader::Parser final {
public:
  Parser(QIODevice &device, QString fileName)
      : xml_(&device), fileName_(std::move(fileName)), list_(std::make_shared<GameList>()) {
    // Only the five predefined entities are read.
    xml_.setEntityExpansionLimit(0);
  }

  std::shared_ptr<const GameList> run() {
    readRoot();
    while (readChild()) {
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

  quint32 intern(QStringView text) {
    buffer_.resize(0);
    for (QChar c : text) {
      if (c.unicode() >= 0x80)
        return list_->strings_.intern(text.toUtf8());
      // Texts are shown on one line.
      buffer_.append(c.unicode() < 0x20 ? ' ' : char(c.unicode()));
    }
    return list_->strings_.intern(buffer_);
  }
  quint32 internName(QStringView name) { return safeName(name) ? intern(name) : 0; }

  void readSet() {
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView name = attributes.value(QLatin1StringView("name"));
    if (!safeName(name)) {
      unsafeSets_ << printable(name);
      xml_.skipCurrentElement();
      return;
    }
    if (list_->sets_.size() >= size_t(GameListReader::kMaxSets))
      fail(QStringLiteral("it has more than %1 games").arg(GameListReader::kMaxSets));
    const QString folded = name.toString().toLower();
    if (list_->byFoldedName_.contains(folded)) {
      duplicates_ << printable(name);
      xml_.skipCurrentElement();
      return;
    }
    GameSet set;
    set.name = intern(name);
    set.cloneOf = internName(attributes.value(QLatin1StringView("cloneof")));
    set.romOf = internName(attributes.value(QLatin1StringView("romof")));
    set.bios = attributes.value(QLatin1StringView("isbios")) == u"yes";
    set.firstRom = quint32(list_->roms_.size());
    while (xml_.readNextStartElement()) {
      const QStringView element = xml_.name();
      if (element == u"rom")
        readRom(name);
      else if (element == u"description")
        set.title = intern(xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
      else if (element == u"manufacturer")
        set.maker = intern(xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
      else if (element == u"year")
        set.year = intern(xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
      else
        xml_.skipCurrentElement(); // <disk>, <sample>, <driver>, ...
    }
    set.romCount = quint32(list_->roms_.size()) - set.firstRom;
    list_->byFoldedName_.insert(folded, int(list_->sets_.size()));
    list_->sets_.push_back(set);
  }

  void readRom(QStringView setName) {
    const QXmlStreamAttributes attributes = xml_.attributes();
    xml_.skipCurrentElement();
    const QStringView name = attributes.value(QLatin1StringView("name"));
    if (!safeName(name)) {
      unsafeRoms_ << QStringLiteral("%1 in %2").arg(printable(name), setName);
      return;
    }
    if (qsizetype(list_->roms_.size()) >= GameListReader::kMaxRoms)
      fail(QStringLiteral("it has more than %1 roms").arg(GameListReader::kMaxRoms));
    Rom rom;
    rom.name = intern(name);
    rom.merge = internName(attributes.value(QLatin1StringView("merge")));
    bool sized = false;
    const qulonglong size = attributes.value(QLatin1StringView("size")).toULongLong(&sized);
    if (sized && size <= 0xFFFFFFFFull) {
      rom.size = quint32(size);
      rom.flags |= Rom::HasSize;
    }
    if (const auto crc = crcOf(attributes.value(QLatin1StringView("crc")))) {
      rom.crc = *crc;
      rom.flags |= Rom::HasCrc;
    }
    if (attributes.value(QLatin1StringView("status")) == u"nodump")
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
  std::shared_ptr<GameList> list_;
  QByteArray buffer_;
  bool pendingSet_ = false;
  QStringList duplicates_, unsafeSets_, unsafeRoms_;
};

std::shared_ptr<const GameList> GameListReader::read(QIODevice &device, const QString &fileName) {
  return Parser(device, fileName).run();
}

std::shared_ptr<const GameList> GameListReader::readFile(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw Error(QStringLiteral("The game list %1 cannot be read: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString()));
  if (file.size() > kMaxFileSize)
    throw Error(QStringLiteral("%1 is not read as a game list: it is larger than %2 MB")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(kMaxFileSize >> 20));
  return read(file, path);
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
