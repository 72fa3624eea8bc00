// Turning the screenshot on show into the game's snapshot, and deleting a
// snapshot after the confirmation box.
#include "launcher/snapshotpreview.h"

#include "controls/image.h"
#include "imagelib/imagelib.h"
#include "launcher/filelistbox.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

namespace vantor {
namespace {

constexpr int kSnapshotQuality = 80;

// Why a snapshot could not be written, in words the user can act on.
QString saveFailureReason(const QString &target) {
  const QFileInfo folder(QFileInfo(target).absolutePath());
  if (imageLibrary().lastPicture().isNull())
    return QStringLiteral("the picture on show could not be read");
  if (!folder.isDir())
    return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
  if (QFileInfo(target).isDir())
    return QStringLiteral("a folder of that name is in the way");
  if (!folder.isWritable())
    return QStringLiteral("the folder %1 cannot be written to").arg(folder.filePath());
  // A full disk or a failing device: the system's own words.
  if (!imageLibrary().lastSaveError().isEmpty())
    return imageLibrary().lastSaveError();
  return QStringLiteral("the file could not be written");
}

} // namespace

void SnapshotPreview::adoptShown(const QString &snapshotBase) {
  if (currentExtension_.isEmpty())
    return;
  const QString target = snapshotBase + QStringLiteral(".jpg");
  // The codec writes the picture it decoded last; if that is no longer the
  // one on show, decode the file on show again rather than guess.
  if (imageLibrary().lastPicture().isNull() || imageLibrary().lastPicture() != p_.snaps->picture())
    imageLibLoad(shownFile_);
  if (!imageLibSaveAsJpg(target, kSnapshotQuality))
    throw Error(QStringLiteral("The snapshot could not be saved as %1: %2.")
                    .arg(target, saveFailureReason(target)));

  const QString screenshot = shownFile_;
  currentExtension_ = QStringLiteral(".jpg");
  shownFile_ = target;
  enterDeleteMode();
  QString removeError;
  if (QFileInfo(screenshot) != QFileInfo(target)) {
    QFile file(screenshot);
    if (file.exists() && !file.remove())
      removeError = file.errorString();
  }
  p_.shotdir->update();
  if (!removeError.isEmpty())
    throw Error(QStringLiteral("The snapshot was saved, but the screenshot %1 could not be "
                               "removed: %2.")
                    .arg(screenshot, removeError));
}

void SnapshotPreview::deleteShown() {
  if (!shownFile_.isEmpty()) {
    QFile file(shownFile_);
    if (file.exists() && !file.remove())
      throw Error(QStringLiteral("The snapshot %1 could not be deleted: %2.")
                      .arg(shownFile_, file.errorString()));
  }
  p_.snaps->setPicture(QImage());
  currentExtension_.clear();
  shownFile_.clear();
}

} // namespace vantor
