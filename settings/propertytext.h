#pragma once

#include <QMetaProperty>
#include <QString>

class QObject;
class QWidget;

namespace vantor {

// How a property is kept in the settings file. Simple kinds are one key's
// text; string lists and collections get a section of their own; a nested
// object keeps each of its own properties.
enum class PropertyKind {
  Unsupported,
  Integer,
  Character,
  Enumeration, // bool counts as one, with the identifiers False and True
  Float,
  String,
  Set, // Q_FLAG types; members are the single-bit identifiers
  Variant,
  StringList,
  Collection, // QList<QObject *>: each item's properties, in place
  Reference,  // a writable pointer to a QObject: the component's name
  Object,     // a read-only pointer to a QObject: its own properties
};

PropertyKind kindOf(const QMetaProperty &property);
// Kinds whose empty text is still written.
bool isStringKind(PropertyKind kind);
// Kinds that are one key's text.
bool isSimpleKind(PropertyKind kind);

// The property of `object` whose name equals `name` without regard to case.
QMetaProperty findPropertyCaseBlind(const QObject *object, const QString &name);
// The descendant of `form` whose object name equals `name` without regard to case.
QObject *findComponentCaseBlind(const QObject *form, const QString &name);
// A top-level window by name, or by class name without its leading "T" when it has none.
QWidget *findWindowCaseBlind(const QString &name);
// The window that holds `object`, or nullptr for a window or a loose object.
QWidget *owningWindowOf(const QObject *object);

// The value of a simple-kind property as text. `form` is the window the
// settings belong to, against which references are named.
QString propertyText(const QObject *object, const QMetaProperty &property, const QObject *form);
// Assigns `text` to a simple-kind property by its kind's rules; a text the
// kind cannot take leaves the value unchanged (integers take 0 instead).
void assignPropertyText(QObject *object, const QMetaProperty &property, const QString &text,
                        const QObject *form);

// Strips leading and trailing blanks and control characters.
QString trimBlanks(const QString &text);
// A value enclosed in quotes gets one more pair of double quotes, so that a
// read, which strips one pair, gives the value back.
QString quotedForProfile(const QString &text);

} // namespace vantor
