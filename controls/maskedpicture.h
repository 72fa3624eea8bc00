#pragma once

#include "controls/colors.h"
#include "platform/events.h"

#include <QImage>
#include <QObject>
#include <QRegion>

namespace vantor {

// A bitmap plus the colour that counts as see-through in it. The button and
// the shaped window share it; both react to its OnChange.
class TMaskedPicture final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QImage Picture READ picture WRITE setPicture)
  Q_PROPERTY(uint MaskColor READ maskColor WRITE setMaskColor)

public:
  explicit TMaskedPicture(QObject *parent = nullptr);

  const QImage &picture() const { return picture_; }
  // Copies `picture` and notifies; handing back the held image does nothing.
  void setPicture(const QImage &picture);
  // Takes a picture without notifying, for a window still being put together.
  void loadPicture(const QImage &picture) { picture_ = picture; }

  TColor maskColor() const { return maskColor_; }
  void setMaskColor(TColor color);

  // MaskColor through its setter, then the picture without a notification.
  void assign(const TMaskedPicture &other);

  TNotifyEvent OnChange;

private:
  void changed();

  QImage picture_;
  TColor maskColor_ = clBlack;
};

// The 0x00BBGGRR colour of a pixel, as a mask colour is compared with it.
TColor pixelColor(const QImage &image, int x, int y);

// The union of the runs of non-mask pixels in the first `rows` rows of
// `image`, one rectangle per run, rows with equal runs merged into one band.
QRegion maskRegion(const QImage &image, TColor maskColor, int rows);
inline QRegion maskRegion(const QImage &image, TColor maskColor) {
  return maskRegion(image, maskColor, image.height());
}

} // namespace vantor
