#pragma once

#include <QImage>
#include <QString>

namespace vantor::skins {

// Registers the embedded artwork (":/skins/<name>.bmp"); safe to call often.
void init();

// One embedded bitmap by name without extension ("backbig", "play", ...),
// in the pixel format the file has. A null image for an unknown name.
QImage image(const QString &name);

} // namespace vantor::skins
