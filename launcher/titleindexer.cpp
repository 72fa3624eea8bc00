#include "launcher/titleindexer.h"

#include "gamelist/gamelist.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/gametitles.h"
#include "platform/handlerguard.h"

namespace vantor {
namespace {

// Entries indexed between two looks at whether the work is still wanted, so
// that a stop waits for a millisecond or two at most.
constexpr size_t kEntriesPerLook = 256;

} // namespace

TitleIndexer::TitleIndexer(QObject *parent)
    : QObject(parent), worker_(this, [this](std::vector<QStringList> &&words) {
        callHandler(OnIndexed, this, std::move(words));
      }) {}

TitleIndexer::~TitleIndexer() {
  stop();
}

std::vector<QStringList> TitleIndexer::titleWordsOf(const gamelist::GameList &list,
                                                    const std::vector<CatalogueEntry> &entries,
                                                    const std::function<bool()> &stillWanted) {
  std::vector<QStringList> words;
  words.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (stillWanted && i % kEntriesPerLook == 0 && !stillWanted())
      return {};
    words.push_back(CatalogueNavigator::titleWords(captionOf(&list, entries[i])));
  }
  return words;
}

// Nothing a stopped run made is delivered.
void TitleIndexer::stop() {
  worker_.stop();
}

void TitleIndexer::start(std::shared_ptr<const gamelist::GameList> list,
                         std::vector<CatalogueEntry> entries) {
  stop();
  if (!list)
    return;
  // Without the words, typing finds ROM names only.
  worker_.start([this, list = std::move(list), entries = std::move(entries)] {
    std::vector<QStringList> words =
        titleWordsOf(*list, entries, [this] { return !worker_.stopping(); });
    if (!worker_.stopping())
      worker_.post(std::move(words));
  });
}

} // namespace vantor
