#include "skins/skins.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void initSkinsResource() {
  Q_INIT_RESOURCE(skins);
}

namespace vantor::skins {

void init() {
  static const bool done = (initSkinsResource(), true);
  (void)done;
}

QImage image(const QString &name) {
  init();
  return QImage(QStringLiteral(":/skins/%1.bmp").arg(name));
}

} // namespace vantor::skins
