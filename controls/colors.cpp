#include "controls/colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace vantor {
namespace {

QColor systemColor(int index) {
  const QPalette pal = QGuiApplication::palette();
  switch (index) {
  case 5:
    return pal.color(QPalette::Base);
  case 8:
    return pal.color(QPalette::Text);
  case 13:
    return pal.color(QPalette::Highlight);
  case 14:
    return pal.color(QPalette::HighlightedText);
  case 15:
    return QColor(0xC0, 0xC0, 0xC0); // button face: the classic silver
  case 16:
    return QColor(0x80, 0x80, 0x80);
  case 17:
    return pal.color(QPalette::Disabled, QPalette::Text);
  case 18:
    return Qt::black;
  case 20:
    return Qt::white;
  case 21:
    return QColor(0x40, 0x40, 0x40);
  case 22:
    return QColor(0xDF, 0xDF, 0xDF);
  case 23:
    return pal.color(QPalette::ToolTipText);
  case 24:
    return pal.color(QPalette::ToolTipBase);
  default:
    return pal.color(QPalette::Window);
  }
}

} // namespace

QColor toQColor(TColor color) {
  if (isSystemColor(color))
    return systemColor(static_cast<int>(color & 0xFF));
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor fromQColor(const QColor &color) {
  return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
         (static_cast<TColor>(color.blue()) << 16);
}

TColor colorToRgb(TColor color) {
  return fromQColor(toQColor(color));
}

} // namespace vantor
