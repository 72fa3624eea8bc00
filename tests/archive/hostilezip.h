#pragma once

// Archives built to make a header walk slow: local headers that announce a
// data descriptor the file never holds, and no central directory to give the
// sizes instead.

#include <QByteArray>
#include <QtEndian>

namespace vantor::test {

// A local header with flag bit 3 set, sizes zero and an empty name.
inline QByteArray bareDescriptorHeader() {
  QByteArray h(30, '\0');
  auto *p = reinterpret_cast<uchar *>(h.data());
  qToLittleEndian<quint32>(0x04034B50, p);
  qToLittleEndian<quint16>(20, p + 4);
  qToLittleEndian<quint16>(0x0008, p + 6);
  return h;
}

// `count` bare headers one after another, then `filler` zero bytes.
inline QByteArray bareDescriptorHeaders(int count, qsizetype filler = 0) {
  const QByteArray header = bareDescriptorHeader();
  QByteArray out;
  out.reserve(header.size() * count + filler);
  for (int i = 0; i < count; ++i)
    out += header;
  out += QByteArray(filler, '\0');
  return out;
}

} // namespace vantor::test
