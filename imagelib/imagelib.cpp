#include "imagelib/imagelib.h"

#include "imagelib/imagedecoder.h"

#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>

namespace vantor {

QImage ImageLibrary::load(const QString &file) {
  last_ = decodeImageFile(file);
  return last_;
}

bool ImageLibrary::saveAsJpg(const QString &file, int quality) const {
  if (last_.isNull() || file.isEmpty())
    return false;
  // Written beside the target and renamed over it only when complete.
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly))
    return false;
  QImageWriter writer(&out, "jpeg");
  writer.setQuality(std::clamp(quality, 0, 100));
  if (!writer.write(last_)) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
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
