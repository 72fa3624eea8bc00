// The main window's game list: titles, and the check of each set before play.
#include "launcher/mainwindow.h"

#include "controls/colors.h"
#include "controls/shadowlabel.h"
#include "gamelist/gamelist.h"
#include "gamelist/setchecker.h"
#include "launcher/gamelistloader.h"
#include "launcher/gametitles.h"
#include "launcher/launch.h"
#include "launcher/splitset.h"
#include "launcher/titleindexer.h"
#include "platform/usermessage.h"
#include "platform/userquestion.h"
#include "settings/setupwindow.h"

#include <QTimer>

namespace vantor {
namespace {

// Below this a title is no longer readable on the skin; it is elided instead.
constexpr int kTitleFloorPointSize = 8;
// The caption of a set with files missing or wrong.
constexpr TColor kIncompleteColor = clRed;

} // namespace

void TfrmMain::showTitle(int index) {
  if (index < 0 || index >= listroms.count())
    return;
  const CatalogueEntry &entry = listroms.entry(index);
  if (!gameList_) {
    if (romname->font() != romnameFont_)
      romname->setFont(romnameFont_);
    romname->setFontColor(clYellow);
    romname->setCaption(entry.romName());
    return;
  }
  const FittedText fitted = fitText(captionOf(gameList_.get(), entry), romnameFont_,
                                    romname->width(), kTitleFloorPointSize);
  const gamelist::SetCheck *check = size_t(index) < setChecks_.size() && setChecks_[size_t(index)]
                                        ? &*setChecks_[size_t(index)]
                                        : nullptr;
  const bool incomplete = check && check->state == gamelist::SetState::Incomplete;
  romname->setFont(fitted.font);
  romname->setFontColor(incomplete ? kIncompleteColor : clYellow);
  romname->setCaption(fitted.text);
  QString hint = hintOf(gameList_.get(), entry);
  if (incomplete)
    hint += QStringLiteral("\nIncomplete: %1 files missing or wrong")
                .arg(check->missing.size() + check->wrong.size());
  romname->setToolTip(hint);
}

QString TfrmMain::chosenGameList() const {
  if (!gameListFile_.isEmpty() || !setup_)
    return gameListFile_;
  return setup_->gameListFile();
}

void TfrmMain::loadGameList() {
  gameListLoader_->load(chosenGameList(), listroms.romFolder());
}

void TfrmMain::gameListLoaded(std::shared_ptr<const gamelist::GameList> list,
                              const QString &error) {
  const bool had = gameList_ != nullptr;
  gameList_ = std::move(list);
  giveTitlesToNavigator();
  startSetChecks();
  if ((had || gameList_) && !playing())
    showTitle(listroms.selectedIndex());
  if (!gameList_ && had)
    romname->setToolTip(QString());
  if (!error.isEmpty())
    showError(error, this);
  else if (gameList_ && !gameList_->notes().isEmpty())
    showInformation(gameList_->notes().join(u'\n'), this);
}

void TfrmMain::startSetChecks() {
  setChecks_.assign(size_t(listroms.count()), std::nullopt);
  if (!gameList_ || listroms.isEmpty()) {
    setChecker_->stop();
    return;
  }
  QStringList archives;
  for (int i = 0; i < listroms.count(); ++i)
    archives << listroms.entry(i).filePath();
  setChecker_->start(gameList_, archives, {listroms.romFolder(), listroms.cdromFolder()});
}

void TfrmMain::setChecked(int index, const gamelist::SetCheck &check) {
  if (index < 0 || size_t(index) >= setChecks_.size())
    return;
  setChecks_[size_t(index)] = check;
  // A launch's status texts stay until it is over.
  if (index == listroms.selectedIndex() && !playing())
    showTitle(index);
}

const gamelist::SetCheck *TfrmMain::selectedSetCheck() {
  const CatalogueEntry *entry = selectedEntry();
  if (!gameList_ || !entry)
    return nullptr;
  const size_t index = size_t(listroms.selectedIndex());
  if (index >= setChecks_.size())
    setChecks_.resize(size_t(listroms.count()));
  // Not reached by the background check yet: a few directories to read.
  if (!setChecks_[index])
    setChecks_[index] = gamelist::checkArchive(*gameList_, entry->filePath(),
                                               {listroms.romFolder(), listroms.cdromFolder()});
  return &*setChecks_[index];
}

// An incomplete set plays only when the user says so; the files a split set
// takes from its parent's and BIOS's archives go with it.
bool TfrmMain::completePlan(LaunchPlan &plan) {
  const gamelist::SetCheck *check = selectedSetCheck();
  if (!check)
    return true;
  if (check->state == gamelist::SetState::Incomplete &&
      !askUser(incompleteSetMessage(plan.entry.romName(), *check), this))
    return false;
  plan.borrowed = borrowedFilesOf(*check);
  return true;
}

} // namespace vantor

namespace vantor {

void TfrmMain::giveTitlesToNavigator() {
  navigator_.setTitleWords({});
  if (gameList_ && !listroms.isEmpty())
    titleIndexer_->start(gameList_, listroms.entries());
  else
    titleIndexer_->stop();
}

void TfrmMain::showTyped() {
  if (!gameList_ || navigator_.prefix().isEmpty())
    return;
  romname->setCaption(navigator_.prefix() + u'_');
  typedShown_->start();
}

} // namespace vantor
