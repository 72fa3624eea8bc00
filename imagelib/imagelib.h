#pragma once

#include <QImage>
#include <QString>

namespace vantor {

// The picture codec the launcher uses for snapshots: decodes JPEG, GIF, PCX
// and BMP files and remembers the picture it decoded last, so that picture
// can be written back as a JPEG file.
class ImageLibrary final {
public:
  // Decodes `file`; a null image when it cannot. The result becomes the
  // remembered picture, a failure included, so a later save never writes a
  // picture other than the one the caller last got.
  QImage load(const QString &file);

  // Writes the remembered picture as a JPEG file of the given quality
  // (0..100, clamped). False when there is no picture or the file cannot be
  // written; a failed write leaves nothing new under `file` and keeps any
  // earlier file of that name. A link named `file` is replaced by the
  // picture, never written through.
  bool saveAsJpg(const QString &file, int quality);
  // Why the last save failed, in the system's words; empty after a success.
  const QString &lastSaveError() const { return saveError_; }

  const QImage &lastPicture() const { return last_; }
  void forget() { last_ = QImage(); }

private:
  QImage last_;
  QString saveError_;
};

// The program-wide codec (user-interface thread only).
ImageLibrary &imageLibrary();

// ImageLibLoad and ImageLibSaveAsJPG on the program-wide codec.
QImage imageLibLoad(const QString &file);
bool imageLibSaveAsJpg(const QString &file, int quality);

} // namespace vantor
