#pragma once

#include "controls/colors.h"

#include <QImage>
#include <QPoint>

namespace vantor {

// What shows through a button's see-through pixels: the picture of the image
// control under it (placed at imagePos in the button's parent), or one colour
// where there is no such image or the point lies outside its picture.
struct Backdrop {
  QImage image;
  QPoint imagePos;
  TColor color = clSilver;
};

// The button's picture with every mask-coloured pixel replaced by the
// backdrop pixel behind it. Every frame (frameHeight rows) is composed
// against the same strip, the one behind the button at buttonPos. Keeps the
// picture's pixel format (8-bit with its palette, 16-bit 555, 24-bit; 32-bit
// pictures are composed at 24 bits); pictures below 8 bits come out blank.
QImage composeButtonImage(const QImage &picture, bool masked, TColor maskColor,
                          const Backdrop &backdrop, QPoint buttonPos, int frameHeight);

} // namespace vantor
