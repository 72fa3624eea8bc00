#include "launcher/snapshotpreview.h"

#include "controls/formshaper.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "imagelib/imagelib.h"
#include "launcher/catalogue.h"
#include "launcher/filelistbox.h"
#include "platform/files.h"

namespace vantor {
namespace {

const QString kSnapshotExtensions[] = {QStringLiteral(".jpg"), QStringLiteral(".gif"),
                                       QStringLiteral(".pcx"), QStringLiteral(".bmp")};

} // namespace

bool SnapshotPreview::bigSkinShown() const {
  return p_.shaper->maskedPicture()->picture().width() == p_.backbig->picture().width();
}

void SnapshotPreview::show(const QString &basePath, bool switchButton) {
  if (!bigSkinShown())
    return;
  currentExtension_.clear();
  shownFile_.clear();
  // Names are matched case-blind, as the folder masks match them.
  const qsizetype cut = basePath.lastIndexOf(platform::pathSeparator());
  const QString folder = basePath.left(cut + 1);
  const QString base = basePath.mid(cut + 1);
  QStringList names;
  for (const QString &extension : kSnapshotExtensions)
    names << base + extension;
  const QString found = platform::findListedName(folder, names);
  for (qsizetype i = 0; i < names.size() && !found.isEmpty(); ++i) {
    if (found.compare(names[i], Qt::CaseInsensitive) == 0) {
      currentExtension_ = kSnapshotExtensions[i];
      shownFile_ = folder + found;
      break;
    }
  }
  // A file that exists counts as found, whatever the decoder makes of it.
  p_.snaps->setPicture(shownFile_.isEmpty() ? QImage() : imageLibLoad(shownFile_));
  if (!switchButton)
    return;
  if (currentExtension_.isEmpty())
    enterAdoptMode();
  else
    enterDeleteMode();
}

void SnapshotPreview::enterDeleteMode() {
  mode_ = DeleteMode;
  p_.usedel->setToolTip(QStringLiteral("Delete Snapshot"));
  p_.usedel->setBtnState(DeleteMode);
  p_.usedel->setNextState(DeleteMode);
  p_.snapback->hide();
  p_.snapfwd->hide();
}

void SnapshotPreview::enterAdoptMode() {
  mode_ = AdoptMode;
  p_.usedel->setToolTip(QStringLiteral("Use this lovely pix for the snapshot"));
  p_.usedel->setBtnState(AdoptMode);
  p_.usedel->setNextState(AdoptMode);
  p_.snapback->show();
  p_.snapfwd->show();
}

void SnapshotPreview::stepBack() {
  TFileListBox &shots = *p_.shotdir;
  if (shots.count() == 0)
    return;
  if (shots.itemIndex() <= 0)
    shots.setItemIndex(1);
  if (shots.itemIndex() > 0) {
    shots.setItemIndex(shots.itemIndex() - 1);
    showScreenshot(shots.itemIndex());
  }
}

void SnapshotPreview::stepForward() {
  TFileListBox &shots = *p_.shotdir;
  if (shots.count() == 0)
    return;
  if (shots.itemIndex() == -1)
    shots.setItemIndex(shots.count() - 1);
  if (shots.itemIndex() >= shots.count())
    return;
  shots.setItemIndex(shots.itemIndex() + 1);
  showScreenshot(shots.itemIndex());
}

void SnapshotPreview::showScreenshot(int index) {
  TFileListBox &shots = *p_.shotdir;
  show(shots.directory() + platform::pathSeparator() + romNameOf(shots.item(index)), false);
}

} // namespace vantor
