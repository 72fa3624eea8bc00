#pragma once

#include <QFont>
#include <QString>

namespace vantor {

namespace gamelist {
class GameList;
struct SetCheck;
} // namespace gamelist
struct CatalogueEntry;

// What the ROM name caption shows for an entry: the set's title from the game
// list, or the ROM name when there is no list or the list does not know it.
QString captionOf(const gamelist::GameList *list, const CatalogueEntry &entry);
// "title — maker, year (rom name)"; empty when the list does not know it.
QString hintOf(const gamelist::GameList *list, const CatalogueEntry &entry);

// What playing an incomplete set asks: the files missing or wrong (the
// first ten named) and the archives not found.
QString incompleteSetMessage(const QString &romName, const gamelist::SetCheck &check);

// Long titles: the largest point size from `font`'s down to `floorPointSize`
// at which `text` fits `width`, and, when even that is too wide, the text
// elided at that size.
struct FittedText {
  QString text;
  QFont font;
};
FittedText fitText(const QString &text, const QFont &font, int width, int floorPointSize);

} // namespace vantor
