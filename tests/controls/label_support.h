#pragma once
// Helpers shared by the shadow label tests.

#include "controls/fonts.h"
#include "controls/shadowlabel.h"

#include <QImage>
#include <QPalette>
#include <QWidget>

namespace labeltest {

// Solid glyph pixels make colour checks exact.
inline QFont crispFont(int pixels = 13, bool bold = true) {
  QFont font = vantor::uiFont(pixels, bold);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

// A coloured "skin" holding one label.
struct Scene {
  QWidget parent;
  vantor::TShadowLabel label{&parent};
  explicit Scene(QColor skin = QColor(0, 0, 255)) {
    parent.resize(300, 120);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, skin);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    label.setFont(crispFont());
    label.setFontColor(vantor::clYellow);
    label.move(20, 20);
  }
  // The label's rectangle as it shows over the skin.
  QImage renderLabel() {
    QImage image(parent.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    parent.render(&image);
    return image.copy(label.geometry());
  }
};

inline int countColour(const QImage &image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      count += image.pixel(x, y) == colour;
  return count;
}

// Bounding box of the pixels of one colour (null when there is none).
inline QRect boxOf(const QImage &image, QRgb colour) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == colour)
        box = box.united(QRect(x, y, 1, 1));
  return box;
}

} // namespace labeltest
