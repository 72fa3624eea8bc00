#include "launcher/cataloguenavigator.h"

#include "launcher/catalogue.h"

#include <algorithm>

namespace vantor {

void CatalogueNavigator::setCatalogue(const Catalogue &catalogue) {
  folded_.clear();
  titleWords_.clear();
  firstWith_.clear();
  folded_.reserve(size_t(catalogue.count()));
  for (int i = 0; i < catalogue.count(); ++i) {
    folded_.push_back(catalogue.entry(i).romName().toCaseFolded());
    if (!folded_.back().isEmpty() && !firstWith_.contains(folded_.back().front()))
      firstWith_.insert(folded_.back().front(), i);
  }
  prefix_.clear();
}

QStringList CatalogueNavigator::titleWords(const QString &title) {
  // "Metal Slug - Super Vehicle-001": "metal", "slug", "super", "vehicle", "001".
  // A word is letters, digits and "_"; a hand-made split, as a regular
  // expression takes several times as long over a big catalogue.
  const QString folded = title.toCaseFolded();
  QStringList words;
  qsizetype start = -1;
  for (qsizetype i = 0; i <= folded.size();) {
    char32_t c = 0;
    qsizetype width = 1;
    if (i < folded.size()) {
      c = folded[i].unicode();
      if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(folded[i], folded[i + 1]);
        width = 2;
      }
    }
    const bool inWord = i < folded.size() && (QChar::isLetterOrNumber(c) || c == U'_');
    if (inWord && start < 0) {
      start = i;
    } else if (!inWord && start >= 0) {
      words << folded.mid(start, i - start);
      start = -1;
    }
    i += width;
  }
  return words;
}

void CatalogueNavigator::setTitles(const QStringList &titles) {
  std::vector<QStringList> words;
  if (!titles.isEmpty()) {
    words.resize(folded_.size());
    for (size_t i = 0; i < folded_.size() && i < size_t(titles.size()); ++i)
      words[i] = titleWords(titles[qsizetype(i)]);
  }
  setTitleWords(std::move(words));
}

void CatalogueNavigator::setTitleWords(std::vector<QStringList> words) {
  // Words made for another catalogue than this one are no use.
  if (!words.empty() && words.size() != folded_.size())
    words.clear();
  titleWords_ = std::move(words);
}

int CatalogueNavigator::moved(MainKey key, int current) const {
  const int last = count() - 1;
  if (last < 0)
    return -1;
  int target = current;
  switch (key) {
  case MainKey::Back:
    target = current - 1;
    break;
  case MainKey::Forward:
    target = current + 1;
    break;
  case MainKey::PageBack:
    target = current - kPageStep;
    break;
  case MainKey::PageForward:
    target = current + kPageStep;
    break;
  case MainKey::First:
    target = 0;
    break;
  case MainKey::Last:
    target = last;
    break;
  default:
    break;
  }
  return std::clamp(target, 0, last);
}

// A longer prefix's first entry is never before the shorter one's, so each
// key goes on from where the last one matched, and a new prefix starts at
// the first entry with its first character.
int CatalogueNavigator::typed(const QString &text, std::uint32_t now) {
  // Unsigned difference: right across the tick counter's wrap.
  const bool fresh = prefix_.isEmpty() || now - lastTyped_ > kTypingPause;
  if (fresh)
    prefix_.clear();
  prefix_ += text.toCaseFolded();
  lastTyped_ = now;
  if (prefix_.isEmpty())
    return match_ = -1;
  // A title word may start anywhere in the catalogue's order.
  const int first = titleWords_.empty() ? firstWith_.value(prefix_.front(), -1) : 0;
  const int start = fresh ? first : match_;
  return match_ = start < 0 ? -1 : firstMatchFrom(start);
}

int CatalogueNavigator::firstMatchFrom(int start) const {
  const QStringView wanted(prefix_);
  for (size_t i = size_t(start); i < folded_.size(); ++i)
    if (matches(i, wanted))
      return int(i);
  return -1;
}

bool CatalogueNavigator::matches(size_t entry, QStringView wanted) const {
  if (QStringView(folded_[entry]).startsWith(wanted))
    return true;
  if (entry >= titleWords_.size())
    return false;
  for (const QString &word : titleWords_[entry])
    if (QStringView(word).startsWith(wanted))
      return true;
  return false;
}

} // namespace vantor
