#include "imagelib/imagelib.h"

#include "imagelib/imagedecoder.h"
#include "platform/filereplace.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <algorithm>

namespace vantor {

QImage ImageLibrary::load(const QString &file) {
  last_ = decodeImageFile(file);
  return last_;
}

bool ImageLibrary::saveAsJpg(const QString &file, int quality) {
  saveError_.clear();
  if (last_.isNull() || file.isEmpty()) {
    saveError_ = QStringLiteral("there is no picture to save");
    return false;
  }
  // Encoded whole in memory first, so the file on disk is only ever written
  // by the one path that checks every step.
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(std::clamp(quality, 0, 100));
  if (!writer.write(last_)) {
    saveError_ = writer.errorString();
    return false;
  }
  saveError_ = platform::replaceFile(QFile::encodeName(file), encoded);
  return saveError_.isEmpty();
}

ImageLibrary &imageLibrary() {
  static ImageLibrary library;
  return library;
}

QImage imageLibLoad(const QString &file) {
  return imageLibrary().load(file);
}

bool imageLibSaveAsJpg(const QString &file, int quality) {
  return imageLibrary().saveAsJpg(file, quality);
}

} // namespace vantor
