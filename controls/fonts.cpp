#include "controls/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace vantor {

QString uiFontFamily() {
  static const QString family = [] {
    const QStringList installed = QFontDatabase::families();
    for (const char *candidate : {"DejaVu Sans Condensed", "DejaVu Sans"}) {
      if (installed.contains(QLatin1String(candidate)))
        return QString::fromLatin1(candidate);
    }
    return QString(); // the platform's default face
  }();
  return family;
}

QFont uiFont(int pixelHeight, bool bold) {
  QFont font;
  if (!uiFontFamily().isEmpty())
    font.setFamily(uiFontFamily());
  // Heights given as negative cell heights; the sign carries nothing.
  font.setPixelSize(std::max(1, std::abs(pixelHeight)));
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

} // namespace vantor
