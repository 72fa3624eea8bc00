#include "controls/maskedpicture.h"

#include "platform/handlerguard.h"

#include <QList>
#include <utility>

namespace vantor {

TMaskedPicture::TMaskedPicture(QObject *parent) : QObject(parent) {}

void TMaskedPicture::setPicture(const QImage &picture) {
  if (&picture == &picture_)
    return;
  picture_ = picture;
  changed();
}

void TMaskedPicture::setMaskColor(TColor color) {
  if (color == maskColor_)
    return;
  maskColor_ = color;
  changed();
}

void TMaskedPicture::assign(const TMaskedPicture &other) {
  if (&other == this)
    return;
  setMaskColor(other.maskColor_);
  picture_ = other.picture_;
}

void TMaskedPicture::changed() {
  callHandler(OnChange, this);
}

TColor pixelColor(const QImage &image, int x, int y) {
  const QRgb rgb = image.pixel(x, y);
  return static_cast<TColor>(qRed(rgb)) | (static_cast<TColor>(qGreen(rgb)) << 8) |
         (static_cast<TColor>(qBlue(rgb)) << 16);
}

namespace {

// One row's runs as [start, end) pairs.
using Runs = QList<std::pair<int, int>>;

void rowRuns(const QRgb *line, int width, QRgb mask, bool maskMatches, Runs &runs) {
  runs.clear();
  int start = -1;
  for (int x = 0; x < width; ++x) {
    const bool see = maskMatches && (line[x] & 0xFFFFFFu) == mask;
    if (!see && start < 0)
      start = x;
    if (see && start >= 0) {
      runs.append({start, x});
      start = -1;
    }
  }
  if (start >= 0)
    runs.append({start, width});
}

} // namespace

QRegion maskRegion(const QImage &image, TColor maskColor, int rows) {
  rows = std::min(rows, image.height());
  if (image.isNull() || rows <= 0)
    return {};
  // Read pixels as 32-bit values; indexed and 16-bit pictures go through
  // their palette and bit expansion, exactly as pixelColor sees them.
  const bool direct =
      image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  const QImage rgb = direct ? image : image.convertToFormat(QImage::Format_RGB32);
  const bool maskMatches = !isSystemColor(maskColor);
  const QRgb mask = ((maskColor & 0xFF) << 16) | (maskColor & 0xFF00) | ((maskColor >> 16) & 0xFF);

  QList<QRect> rects;
  Runs previous, current;
  int bandTop = 0;
  auto flush = [&](int bandBottom) {
    for (const auto &[start, end] : previous)
      rects.append(QRect(start, bandTop, end - start, bandBottom - bandTop));
  };
  for (int y = 0; y < rows; ++y) {
    rowRuns(reinterpret_cast<const QRgb *>(rgb.constScanLine(y)), rgb.width(), mask, maskMatches,
            current);
    if (y > 0 && current == previous)
      continue;
    flush(y);
    std::swap(previous, current);
    bandTop = y;
  }
  flush(rows);

  QRegion region;
  if (!rects.isEmpty())
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
  return region;
}

} // namespace vantor
