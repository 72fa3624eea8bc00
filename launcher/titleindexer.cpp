#include "launcher/titleindexer.h"

#include "gamelist/gamelist.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/gametitles.h"
#include "platform/handlerguard.h"

#include <QMetaObject>

namespace vantor {
namespace {

// Entries indexed between two looks at whether the work is still wanted.
constexpr size_t kEntriesPerLook = 1024;

} // namespace

TitleIndexer::TitleIndexer(QObject *parent) : QObject(parent) {
  pool_.setMaxThreadCount(1);
}

TitleIndexer::~TitleIndexer() {
  stop();
  pool_.waitForDone();
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

void TitleIndexer::start(std::shared_ptr<const gamelist::GameList> list,
                         std::vector<CatalogueEntry> entries) {
  const quint64 generation = ++generation_;
  if (!list)
    return;
  pool_.start([this, generation, list = std::move(list), entries = std::move(entries)] {
    std::vector<QStringList> words =
        titleWordsOf(*list, entries, [&] { return generation == generation_; });
    if (generation != generation_)
      return; // asked for again, or stopped
    QMetaObject::invokeMethod(
        this,
        [this, generation, words = std::move(words)]() mutable {
          if (generation == generation_)
            callHandler(OnIndexed, this, std::move(words));
        },
        Qt::QueuedConnection);
  });
}

} // namespace vantor
