#include "launcher/gametitles.h"

#include "gamelist/gamelist.h"
#include "gamelist/setcheck.h"
#include "launcher/catalogue.h"

#include <QFontMetrics>

namespace vantor {
namespace {

const gamelist::GameSet *setOf(const gamelist::GameList *list, const CatalogueEntry &entry) {
  if (!list)
    return nullptr;
  const std::optional<int> index = list->find(entry.romName());
  return index ? &list->set(*index) : nullptr;
}

constexpr int kNamedFiles = 10;

} // namespace

QString incompleteSetMessage(const QString &romName, const gamelist::SetCheck &check) {
  QStringList named;
  for (const QString &name : check.missing)
    named << name + QStringLiteral(" (missing)");
  for (const QString &name : check.wrong)
    named << name + QStringLiteral(" (wrong)");
  QString text = QStringLiteral("Some files of %1 are missing or wrong:\n").arg(romName);
  text += named.mid(0, kNamedFiles).join(u'\n');
  if (named.size() > kNamedFiles)
    text += QStringLiteral("\nand %1 more").arg(named.size() - kNamedFiles);
  if (!check.missingArchives.isEmpty())
    text += QStringLiteral("\nNot found: %1").arg(check.missingArchives.join(QStringLiteral(", ")));
  return text + QStringLiteral("\n\nPlay it anyway?");
}

QString captionOf(const gamelist::GameList *list, const CatalogueEntry &entry) {
  const gamelist::GameSet *set = setOf(list, entry);
  const QString title = set ? list->text(set->title) : QString();
  return title.isEmpty() ? entry.romName() : title;
}

QString hintOf(const gamelist::GameList *list, const CatalogueEntry &entry) {
  const gamelist::GameSet *set = setOf(list, entry);
  if (!set)
    return {};
  QStringList about;
  for (const quint32 id : {set->maker, set->year})
    if (id != 0)
      about << list->text(id);
  QString hint = captionOf(list, entry);
  if (!about.isEmpty())
    hint += QStringLiteral(" \u2014 ") + about.join(QStringLiteral(", "));
  return hint + QStringLiteral(" (%1)").arg(entry.romName());
}

FittedText fitText(const QString &text, const QFont &font, int width, int floorPointSize) {
  QFont fitted = font;
  const int start = font.pointSize() > 0 ? font.pointSize() : floorPointSize;
  for (int size = start; size >= floorPointSize; --size) {
    fitted.setPointSize(size);
    if (QFontMetrics(fitted).horizontalAdvance(text) <= width)
      return {text, fitted};
  }
  fitted.setPointSize(std::min(start, floorPointSize));
  return {QFontMetrics(fitted).elidedText(text, Qt::ElideRight, width), fitted};
}

} // namespace vantor
