#pragma once

#include "launcher/catalogue.h"
#include "platform/workermailbox.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vantor {

namespace gamelist {
class GameList;
}

// The words of each entry's title, one list per catalogue entry.
using TTitlesIndexedEvent = std::function<void(QObject *sender, std::vector<QStringList> words)>;

// Makes the type-ahead words of every catalogue entry's title on a worker
// thread: for a big catalogue that takes several frames, and the main window
// must not stand still meanwhile. The words come back to the owner's thread.
class TitleIndexer final : public QObject {
public:
  explicit TitleIndexer(QObject *parent = nullptr);
  ~TitleIndexer() override;

  // Indexes `entries` by the titles `list` gives them; work started before
  // is stopped first and its result dropped.
  void start(std::shared_ptr<const gamelist::GameList> list, std::vector<CatalogueEntry> entries);
  void stop();

  TTitlesIndexedEvent OnIndexed; // assigned by the owner

  // What the worker makes: the words of captionOf for each entry; empty when
  // `stillWanted`, asked now and then, says the work is no longer wanted.
  static std::vector<QStringList> titleWordsOf(const gamelist::GameList &list,
                                               const std::vector<CatalogueEntry> &entries,
                                               const std::function<bool()> &stillWanted = {});

private:
  platform::SingleWorker<std::vector<QStringList>> worker_;
};

} // namespace vantor
