#include "settings/formstorage.h"

#include "controls/form.h"
#include "platform/handlerguard.h"
#include "platform/profile.h"
#include "settings/propertytext.h"

namespace vantor {
namespace {

const QString kKeyCount = QStringLiteral("Count");
// Nested objects that point back at themselves would never end.
constexpr int kMaxDepth = 8;

QString itemKey(qsizetype index) {
  return QStringLiteral("Item%1").arg(index);
}

// A string list or collection gets the section "<window section>.<key>".
QString ownSection(const QString &section, const QString &key) {
  return QStringLiteral("%1.%2").arg(section, key);
}

// The properties of a nested object or collection item that are kept: those
// of its own classes (not QObject's name), stored, and of a kind we know.
QList<QMetaProperty> storableProperties(const QObject *object) {
  QList<QMetaProperty> result;
  const QMetaObject *meta = object->metaObject();
  for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    const PropertyKind kind = kindOf(p);
    if (kind == PropertyKind::Unsupported || !p.isStored())
      continue;
    if (p.isWritable() || kind == PropertyKind::Object || kind == PropertyKind::Collection)
      result << p;
  }
  return result;
}

// The key's text, or `current` untouched when the key is missing (the file
// would strip quotes from a default as it does from a value).
QString readOr(const platform::ProfileFile &ini, const QString &section, const QString &key,
               const QString &current) {
  static const QString missing(QChar(0xFFFF));
  const QString text = ini.readString(section, key, missing);
  return text == missing ? current : text;
}

} // namespace

TFormStorage::Target TFormStorage::resolve(const QString &entry) const {
  const qsizetype dot = entry.indexOf(u'.');
  if (dot < 0)
    return {};
  QObject *component = findComponentCaseBlind(form(), entry.left(dot).trimmed());
  if (!component)
    return {};
  const QMetaProperty property = findPropertyCaseBlind(component, entry.mid(dot + 1).trimmed());
  if (kindOf(property) == PropertyKind::Unsupported)
    return {};
  return {component, property};
}

void TFormStorage::saveExtra() {
  const QString section = resolvedIniSection();
  for (const QString &entry : storedProps_) {
    const Target target = resolve(entry);
    if (target.component)
      storeProperty(target.component, target.property, section,
                    target.component->objectName() + u'_', 0);
  }
}

void TFormStorage::restoreExtra() {
  const QString section = resolvedIniSection();
  // A value that cannot be taken is skipped, silently; the next entry follows.
  for (const QString &entry : storedProps_)
    runQuietly([&] {
      const Target target = resolve(entry);
      if (target.component)
        restoreProperty(target.component, target.property, section,
                        target.component->objectName() + u'_', 0);
    });
}

void TFormStorage::storeProperty(QObject *object, const QMetaProperty &property,
                                 const QString &section, const QString &prefix, int depth) {
  const QString key = prefix + QLatin1String(property.name());
  const PropertyKind kind = kindOf(property);
  if (isSimpleKind(kind)) {
    const QString text = propertyText(object, property, form());
    if (text.isEmpty() && !isStringKind(kind))
      return;
    writeProfileText(section, key, trimBlanks(text));
    return;
  }
  if (depth >= kMaxDepth)
    return;
  switch (kind) {
  case PropertyKind::StringList: {
    const QString own = ownSection(section, key);
    iniFile()->eraseSection(own);
    const QStringList items = property.read(object).toStringList();
    if (items.isEmpty())
      return;
    iniFile()->writeInteger(own, kKeyCount, static_cast<int>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
      writeProfileText(own, itemKey(i), items[i]);
    return;
  }
  case PropertyKind::Collection:
    storeCollection(object, property, ownSection(section, key), depth);
    return;
  case PropertyKind::Object:
    if (QObject *inner = property.read(object).value<QObject *>(); inner)
      for (const QMetaProperty &p : storableProperties(inner))
        storeProperty(inner, p, section, key, depth + 1);
    return;
  default:
    return;
  }
}

void TFormStorage::restoreProperty(QObject *object, const QMetaProperty &property,
                                   const QString &section, const QString &prefix, int depth) {
  const QString key = prefix + QLatin1String(property.name());
  const PropertyKind kind = kindOf(property);
  if (isSimpleKind(kind)) {
    const QString current = propertyText(object, property, form());
    const QString text = trimBlanks(readOr(*iniFile(), section, key, current));
    assignPropertyText(object, property, text, form());
    return;
  }
  if (depth >= kMaxDepth)
    return;
  switch (kind) {
  case PropertyKind::StringList: {
    const QString own = ownSection(section, key);
    const int count = iniFile()->readInteger(own, kKeyCount, 0);
    if (count <= 0)
      return;
    QStringList items;
    for (int i = 0; i < count; ++i)
      items << iniFile()->readString(own, itemKey(i), QString());
    property.write(object, items);
    return;
  }
  case PropertyKind::Collection:
    restoreCollection(object, property, ownSection(section, key), depth);
    return;
  case PropertyKind::Object:
    if (QObject *inner = property.read(object).value<QObject *>(); inner)
      for (const QMetaProperty &p : storableProperties(inner))
        restoreProperty(inner, p, section, key, depth + 1);
    return;
  default:
    return;
  }
}

void TFormStorage::storeCollection(QObject *object, const QMetaProperty &property,
                                   const QString &section, int depth) {
  iniFile()->eraseSection(section);
  const auto items = property.read(object).value<QList<QObject *>>();
  for (qsizetype i = 0; i < items.size(); ++i)
    if (items[i])
      for (const QMetaProperty &p : storableProperties(items[i]))
        storeProperty(items[i], p, section, itemKey(i) + u'_', depth + 1);
}

void TFormStorage::restoreCollection(QObject *object, const QMetaProperty &property,
                                     const QString &section, int depth) {
  // The items there are now are read back; their number does not change.
  const auto items = property.read(object).value<QList<QObject *>>();
  for (qsizetype i = 0; i < items.size(); ++i)
    if (items[i])
      for (const QMetaProperty &p : storableProperties(items[i]))
        restoreProperty(items[i], p, section, itemKey(i) + u'_', depth + 1);
}

TFormStorage *addFormStorage(TForm *form, const QString &section,
                             TFormPlacement::PlacementOptions options,
                             const QStringList &storedProps) {
  auto *storage = new TFormStorage(form);
  storage->setObjectName(QStringLiteral("FormStorage1"));
  storage->setIniSection(section);
  storage->setOptions(options);
  storage->setStoredProps(storedProps);
  return storage;
}

} // namespace vantor
