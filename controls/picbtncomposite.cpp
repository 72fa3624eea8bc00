#include "controls/picbtncomposite.h"

#include <QHash>
#include <cstring>
#include <limits>

namespace vantor {
namespace {

QRgb toRgb(TColor c) {
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

quint16 toRgb555(QRgb c) {
  return static_cast<quint16>(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
}

// The palette entry closest to a colour, as an 8-bit bitmap stores it.
class NearestIndex final {
public:
  explicit NearestIndex(const QList<QRgb> &table) : table_(table) {}
  uchar operator()(QRgb c) {
    const auto hit = cache_.constFind(c);
    if (hit != cache_.constEnd())
      return *hit;
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < table_.size() && i < 256; ++i) {
      const int dr = qRed(table_[i]) - qRed(c), dg = qGreen(table_[i]) - qGreen(c),
                db = qBlue(table_[i]) - qBlue(c);
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    cache_.insert(c, static_cast<uchar>(best));
    return static_cast<uchar>(best);
  }

private:
  const QList<QRgb> &table_;
  QHash<QRgb, uchar> cache_;
};

class BackdropReader final {
public:
  BackdropReader(const Backdrop &backdrop, QPoint buttonPos)
      : image_(backdrop.image), offset_(buttonPos - backdrop.imagePos),
        color_(toRgb(colorToRgbOrPlain(backdrop.color))) {}
  // The colour behind button pixel (x, row-within-frame).
  QRgb at(int x, int row) const {
    const int ix = offset_.x() + x, iy = offset_.y() + row;
    if (!image_.isNull() && image_.valid(ix, iy))
      return image_.pixel(ix, iy) | 0xFF000000u;
    return color_;
  }

private:
  static TColor colorToRgbOrPlain(TColor c) { return isSystemColor(c) ? colorToRgb(c) : c; }
  const QImage &image_;
  QPoint offset_;
  QRgb color_;
};

QImage::Format composedFormat(const QImage &picture) {
  if (picture.format() == QImage::Format_Indexed8)
    return QImage::Format_Indexed8;
  switch (picture.depth()) {
  case 8:
    return QImage::Format_RGB888;
  case 16:
    return QImage::Format_RGB555;
  case 24:
  case 32:
    return QImage::Format_RGB888;
  default:
    return picture.format();
  }
}

} // namespace

QImage composeButtonImage(const QImage &picture, bool masked, TColor maskColor,
                          const Backdrop &backdrop, QPoint buttonPos, int frameHeight) {
  if (picture.isNull())
    return {};
  const int width = picture.width(), height = picture.height();
  QImage out(picture.size(), composedFormat(picture));
  out.setColorTable(picture.colorTable());
  if (picture.depth() < 8) {
    out.fill(0);
    return out;
  }

  const bool direct =
      picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
  const QImage rgb = direct ? picture : picture.convertToFormat(QImage::Format_RGB32);
  const bool matchable = masked && !isSystemColor(maskColor);
  const QRgb mask = toRgb(maskColor) & 0xFFFFFFu;
  const BackdropReader behind(backdrop, buttonPos);
  const QList<QRgb> table = picture.colorTable();
  NearestIndex nearest(table);
  const bool exact555 = picture.format() == QImage::Format_RGB555;

  for (int y = 0; y < height; ++y) {
    // Every frame composes against the same strip behind the button.
    const int row = frameHeight > 0 ? y % frameHeight : y;
    const QRgb *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
    uchar *dst = out.scanLine(y);
    for (int x = 0; x < width; ++x) {
      const bool see = matchable && (src[x] & 0xFFFFFFu) == mask;
      const QRgb c = see ? behind.at(x, row) : src[x];
      switch (out.format()) {
      case QImage::Format_Indexed8:
        dst[x] = see ? nearest(c) : picture.constScanLine(y)[x];
        break;
      case QImage::Format_RGB555: {
        const quint16 v = !see && exact555
                              ? reinterpret_cast<const quint16 *>(picture.constScanLine(y))[x]
                              : toRgb555(c);
        std::memcpy(dst + 2 * x, &v, 2);
        break;
      }
      default: // RGB888
        dst[3 * x] = static_cast<uchar>(qRed(c));
        dst[3 * x + 1] = static_cast<uchar>(qGreen(c));
        dst[3 * x + 2] = static_cast<uchar>(qBlue(c));
        break;
      }
    }
  }
  return out;
}

} // namespace vantor
