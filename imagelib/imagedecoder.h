#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vantor {

// The picture kinds Vantor reads, told apart by their content, not their name.
enum class ImageKind { Unknown, Jpeg, Gif, Pcx, Bmp };

ImageKind detectImageKind(QByteArrayView data);

// Decodes JPEG, GIF, PCX or BMP data into a bitmap. Anything else, and any
// truncated or corrupt picture, gives a null image.
QImage decodeImage(const QByteArray &data);

// Reads and decodes a file; null when it is missing, unreadable, too large or
// not a picture of the four kinds.
QImage decodeImageFile(const QString &path);

} // namespace vantor
