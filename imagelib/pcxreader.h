#pragma once

#include <QByteArrayView>
#include <QImage>

namespace vantor {

// Decodes a PCX picture held in memory: 1-, 2- and 4-bit palette pictures
// (packed or 1-bit planes, 16-colour header palette), 8-bit palette pictures
// (256-colour palette after a 0x0C marker at the end of the file) and 24-bit
// pictures in three 8-bit planes, run-length encoded or raw. Palette pictures
// come back as Indexed8, 24-bit ones as RGB888. Anything malformed,
// truncated or larger than the limits gives a null image.
QImage decodePcx(QByteArrayView data);

// Whether `data` starts with a PCX header this reader accepts.
bool looksLikePcx(QByteArrayView data);

} // namespace vantor
