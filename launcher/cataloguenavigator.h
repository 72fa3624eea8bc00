#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <Qt>

#include <cstdint>
#include <vector>

namespace vantor {

class Catalogue;

// What a key pressed on the main window does.
enum class MainKey {
  None,    // not the window's: the control with the focus keeps it
  Play,    // Enter
  About,   // F1
  Setup,   // F2
  Skin,    // F3: the skin toggle
  UseDel,  // Insert: the adopt/delete button under the preview
  Nothing, // Escape: taken, and nothing happens
  Back,
  Forward,
  PageBack,
  PageForward,
  First,
  Last,
  Type, // a letter or digit: type-ahead
};

// Moves through the catalogue by keys: steps, pages, the ends, and the first
// entry whose ROM name starts with what was just typed.
class CatalogueNavigator final {
public:
  static constexpr int kPageStep = 10;
  // Keys typed no further apart than this extend the prefix; ms.
  static constexpr std::uint32_t kTypingPause = 1000;

  // Keeps the ROM names case-folded, so a jump compares plain strings.
  // Forgets the titles.
  void setCatalogue(const Catalogue &catalogue);
  // With a game list, typing also finds an entry by the start of any word
  // of its title; one title per entry, empty for none.
  void setTitles(const QStringList &titles);
  // The same with the words made already (by titleWords), one list per
  // entry; an empty vector forgets the titles.
  void setTitleWords(std::vector<QStringList> words);
  // A title's words as type-ahead compares them: case-folded, split at
  // everything but letters, digits and "_".
  static QStringList titleWords(const QString &title);
  int count() const { return int(folded_.size()); }

  // The entry a movement key leads to from `current`; always inside the
  // catalogue, or -1 when it is empty.
  int moved(MainKey key, int current) const;

  // Adds `text`, typed at tick `now`, to the prefix (a new prefix after a
  // longer pause) and returns the first entry, in the catalogue's order,
  // whose ROM name (or a word of its title) starts with it, ignoring case;
  // -1 when none does.
  int typed(const QString &text, std::uint32_t now);
  const QString &prefix() const { return prefix_; }
  void forgetTyping() { prefix_.clear(); }

private:
  int firstMatchFrom(int start) const;

  bool matches(size_t entry, QStringView wanted) const;

  std::vector<QString> folded_;
  std::vector<QStringList> titleWords_; // empty without titles
  QHash<QChar, int> firstWith_;         // the first entry starting with each character
  QString prefix_;
  int match_ = -1; // the prefix's first entry
  std::uint32_t lastTyped_ = 0;
};

} // namespace vantor
