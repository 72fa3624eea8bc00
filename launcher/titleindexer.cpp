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
    : QObject(parent), results_(this, [this](std::vector<QStringList> &&words) {
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

void TitleIndexer::stop() {
  stop_ = true;
  if (worker_.joinable())
    worker_.join();
  // Nothing a stopped run made is delivered.
  results_.clear();
}

void TitleIndexer::start(std::shared_ptr<const gamelist::GameList> list,
                         std::vector<CatalogueEntry> entries) {
  stop();
  if (!list)
    return;
  stop_ = false;
  worker_ = std::thread([this, list = std::move(list), entries = std::move(entries)] {
    // Nothing may escape a worker: without the words, typing finds ROM
    // names only.
    try {
      std::vector<QStringList> words = titleWordsOf(*list, entries, [this] { return !stop_; });
      if (!stop_)
        results_.post(std::move(words));
    } catch (...) {
    }
  });
}

} // namespace vantor
