// libFuzzer entry for the PCX reader: any input must decode or be refused
// without a crash, an out-of-bounds access or an unbounded allocation.
#include "imagelib/pcxreader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QImage image =
      vantor::decodePcx(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
  if (!image.isNull()) {
    // Touch every row so the sanitizer sees any row the reader got wrong.
    volatile uchar sink = 0;
    for (int y = 0; y < image.height(); ++y)
      sink = sink ^ image.constScanLine(y)[image.bytesPerLine() - 1];
    (void)sink;
  }
  return 0;
}
