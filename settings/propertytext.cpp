#include "settings/propertytext.h"

#include <QApplication>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QWidget>

#include <cstring>
#include <limits>

namespace vantor {
namespace {

const QString kNullReference = QStringLiteral("(null)");

// The raw bits of an enumeration or flags value, whatever its size.
qint64 enumBits(const QVariant &value) {
  const qsizetype size = value.metaType().sizeOf();
  if (value.metaType().flags().testFlag(QMetaType::IsEnumeration) && size >= 1 && size <= 8) {
    qint64 bits = 0;
    std::memcpy(&bits, value.constData(), static_cast<size_t>(size));
    return bits;
  }
  return value.toLongLong();
}

bool isSingleBit(int value) {
  return value > 0 && (value & (value - 1)) == 0;
}

QString windowName(const QWidget *window) {
  if (!window->objectName().isEmpty())
    return window->objectName();
  QString name = QString::fromLatin1(window->metaObject()->className());
  name = name.mid(name.lastIndexOf(u':') + 1);
  return name.startsWith(u'T') ? name.mid(1) : name;
}

QString referenceText(const QObject *target, const QObject *form) {
  if (!target)
    return kNullReference;
  const QWidget *window = owningWindowOf(target);
  if (window && window != form)
    return windowName(window) + u'.' + target->objectName();
  return target->objectName();
}

// Parses an integer of the property's type; a text that is not a number of
// that range gives 0.
QVariant integerValue(const QMetaType type, const QString &text) {
  bool ok = false;
  QVariant value;
  switch (type.id()) {
  case QMetaType::UInt:
  case QMetaType::ULong:
  case QMetaType::ULongLong:
  case QMetaType::UShort:
  case QMetaType::UChar: {
    const qulonglong v = text.toULongLong(&ok);
    const int bits = static_cast<int>(type.sizeOf()) * 8;
    ok = ok && (bits >= 64 || v < (qulonglong(1) << bits));
    value = QVariant::fromValue(ok ? v : 0ULL);
    break;
  }
  default: {
    const qlonglong v = text.toLongLong(&ok);
    const int bits = static_cast<int>(type.sizeOf()) * 8;
    if (bits < 64) {
      const qlonglong limit = qlonglong(1) << (bits - 1);
      ok = ok && v >= -limit && v < limit;
    }
    value = QVariant::fromValue(ok ? v : 0LL);
    break;
  }
  }
  value.convert(type);
  return value;
}

void assignEnumeration(QObject *object, const QMetaProperty &property, const QString &text) {
  if (property.metaType().id() == QMetaType::Bool) {
    for (const bool b : {false, true})
      if (text.compare(b ? u"True" : u"False", Qt::CaseInsensitive) == 0)
        property.write(object, b);
    return;
  }
  const QMetaEnum e = property.enumerator();
  for (int i = 0; i < e.keyCount(); ++i)
    if (text.compare(QLatin1String(e.key(i)), Qt::CaseInsensitive) == 0) {
      property.write(object, e.value(i));
      return;
    }
}

QString setText(const QMetaEnum &e, qint64 bits) {
  QStringList members;
  for (int bit = 0; bit < 32; ++bit) {
    const int mask = int(1u << bit);
    if (!(bits & mask))
      continue;
    for (int i = 0; i < e.keyCount(); ++i)
      if (e.value(i) == mask) {
        members << QLatin1String(e.key(i));
        break;
      }
  }
  return u'[' + members.join(u',') + u']';
}

void assignSet(QObject *object, const QMetaProperty &property, const QString &text) {
  static const QRegularExpression separators(QStringLiteral("[\\s,\\[\\]]+"));
  const QMetaEnum e = property.enumerator();
  int bits = 0;
  for (const QString &word : text.split(separators, Qt::SkipEmptyParts))
    for (int i = 0; i < e.keyCount(); ++i)
      if (isSingleBit(e.value(i)) &&
          word.compare(QLatin1String(e.key(i)), Qt::CaseInsensitive) == 0)
        bits |= e.value(i);
  QVariant value(bits);
  value.convert(property.metaType());
  property.write(object, value);
}

void assignReference(QObject *object, const QMetaProperty &property, const QString &text,
                     const QObject *form) {
  if (text.isEmpty())
    return;
  QObject *target = nullptr;
  if (text.compare(kNullReference, Qt::CaseInsensitive) != 0) {
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0) {
      const QWidget *window = findWindowCaseBlind(text.left(dot).trimmed());
      if (!window)
        return;
      target = findComponentCaseBlind(window, text.mid(dot + 1).trimmed());
    } else {
      target = findComponentCaseBlind(form, text);
    }
  }
  const QMetaObject *wanted = property.metaType().metaObject();
  if (target && wanted && !target->metaObject()->inherits(wanted))
    return;
  // QObject is the first base of every QObject class, so the pointer is the same.
  property.write(object, QVariant(property.metaType(), &target));
}

} // namespace

PropertyKind kindOf(const QMetaProperty &property) {
  if (!property.isValid() || !property.isReadable())
    return PropertyKind::Unsupported;
  if (property.isFlagType())
    return PropertyKind::Set;
  if (property.isEnumType())
    return PropertyKind::Enumeration;
  const QMetaType type = property.metaType();
  switch (type.id()) {
  case QMetaType::Bool:
    return PropertyKind::Enumeration;
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong:
  case QMetaType::Long:
  case QMetaType::ULong:
  case QMetaType::Short:
  case QMetaType::UShort:
  case QMetaType::SChar:
  case QMetaType::UChar:
    return PropertyKind::Integer;
  case QMetaType::Char:
  case QMetaType::QChar:
    return PropertyKind::Character;
  case QMetaType::Float:
  case QMetaType::Double:
    return PropertyKind::Float;
  case QMetaType::QString:
  case QMetaType::QByteArray:
    return PropertyKind::String;
  case QMetaType::QVariant:
    return PropertyKind::Variant;
  case QMetaType::QStringList:
    return PropertyKind::StringList;
  default:
    break;
  }
  if (type == QMetaType::fromType<QList<QObject *>>())
    return PropertyKind::Collection;
  if (type.flags().testFlag(QMetaType::PointerToQObject))
    return property.isWritable() ? PropertyKind::Reference : PropertyKind::Object;
  return PropertyKind::Unsupported;
}

bool isStringKind(PropertyKind kind) {
  return kind == PropertyKind::String;
}

bool isSimpleKind(PropertyKind kind) {
  switch (kind) {
  case PropertyKind::Integer:
  case PropertyKind::Character:
  case PropertyKind::Enumeration:
  case PropertyKind::Float:
  case PropertyKind::String:
  case PropertyKind::Set:
  case PropertyKind::Variant:
  case PropertyKind::Reference:
    return true;
  default:
    return false;
  }
}

QMetaProperty findPropertyCaseBlind(const QObject *object, const QString &name) {
  // A name that differs only in case from an inherited one ("Text" beside
  // QLineEdit's "text") wins when written exactly.
  const QMetaObject *meta = object->metaObject();
  QMetaProperty blind;
  for (int i = meta->propertyCount() - 1; i >= 0; --i) {
    const QMetaProperty p = meta->property(i);
    const QLatin1String candidate(p.name());
    if (name == candidate)
      return p;
    if (name.compare(candidate, Qt::CaseInsensitive) == 0)
      blind = p;
  }
  return blind;
}

QObject *findComponentCaseBlind(const QObject *form, const QString &name) {
  if (!form || name.isEmpty())
    return nullptr;
  const QList<QObject *> all = form->findChildren<QObject *>();
  QObject *blind = nullptr;
  for (QObject *child : all) {
    if (child->objectName() == name)
      return child;
    if (!blind && child->objectName().compare(name, Qt::CaseInsensitive) == 0)
      blind = child;
  }
  return blind;
}

QWidget *findWindowCaseBlind(const QString &name) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget *window : windows)
    if (windowName(window).compare(name, Qt::CaseInsensitive) == 0)
      return window;
  return nullptr;
}

QWidget *owningWindowOf(const QObject *object) {
  if (object->isWidgetType()) {
    const auto *widget = static_cast<const QWidget *>(object);
    return widget->isWindow() ? nullptr : widget->window();
  }
  for (QObject *p = object->parent(); p; p = p->parent())
    if (p->isWidgetType())
      return static_cast<QWidget *>(p)->window();
  return nullptr;
}

QString propertyText(const QObject *object, const QMetaProperty &property, const QObject *form) {
  const QVariant value = property.read(object);
  switch (kindOf(property)) {
  case PropertyKind::Integer:
    return value.toString();
  case PropertyKind::Character:
    return property.metaType().id() == QMetaType::Char ? QString(QLatin1Char(value.value<char>()))
                                                       : QString(value.value<QChar>());
  case PropertyKind::Enumeration:
    if (property.metaType().id() == QMetaType::Bool)
      return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return QLatin1String(property.enumerator().valueToKey(static_cast<int>(enumBits(value))));
  case PropertyKind::Float:
    return property.metaType().id() == QMetaType::Float
               ? QString::number(value.value<float>(), 'g', 7)
               : QString::number(value.toDouble(), 'g', 15);
  case PropertyKind::String:
    return property.metaType().id() == QMetaType::QByteArray
               ? QString::fromUtf8(value.toByteArray())
               : value.toString();
  case PropertyKind::Set:
    return setText(property.enumerator(), enumBits(value));
  case PropertyKind::Variant:
    return value.toString();
  case PropertyKind::Reference:
    return referenceText(value.value<QObject *>(), form);
  default:
    return {};
  }
}

void assignPropertyText(QObject *object, const QMetaProperty &property, const QString &text,
                        const QObject *form) {
  if (!property.isWritable())
    return;
  switch (kindOf(property)) {
  case PropertyKind::Integer:
    property.write(object, integerValue(property.metaType(), text));
    break;
  case PropertyKind::Character:
    if (text.isEmpty())
      break;
    if (property.metaType().id() == QMetaType::Char)
      property.write(object, QVariant::fromValue(text.front().toLatin1()));
    else
      property.write(object, QVariant::fromValue(text.front()));
    break;
  case PropertyKind::Enumeration:
    assignEnumeration(object, property, text);
    break;
  case PropertyKind::Float: {
    // QString parses with "." whatever the locale.
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok)
      break;
    if (property.metaType().id() == QMetaType::Float)
      property.write(object, QVariant::fromValue(static_cast<float>(v)));
    else
      property.write(object, v);
    break;
  }
  case PropertyKind::String:
    if (property.metaType().id() == QMetaType::QByteArray)
      property.write(object, text.toUtf8());
    else
      property.write(object, text);
    break;
  case PropertyKind::Set:
    assignSet(object, property, text);
    break;
  case PropertyKind::Variant:
    property.write(object, QVariant(text));
    break;
  case PropertyKind::Reference:
    assignReference(object, property, text, form);
    break;
  default:
    break;
  }
}

QString trimBlanks(const QString &text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin].unicode() <= u' ')
    ++begin;
  while (end > begin && text[end - 1].unicode() <= u' ')
    --end;
  return text.mid(begin, end - begin);
}

QString quotedForProfile(const QString &text) {
  if (!text.isEmpty() && ((text.front() == u'"' && text.back() == u'"') ||
                          (text.front() == u'\'' && text.back() == u'\'')))
    return u'"' + text + u'"';
  return text;
}

} // namespace vantor
