#pragma once

// Builds zip archives in memory for the tests, including the shapes real
// writers produce that a header walk must survive: data descriptors, zip64
// fields, stubs in front, comments, link entries.

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <array>
#include <cstdint>
#include <vector>

namespace vantor::test {

inline quint32 crc32Of(const QByteArray &data) {
  static const auto table = [] {
    std::array<quint32, 256> t{};
    for (quint32 i = 0; i < 256; ++i) {
      quint32 c = i;
      for (int k = 0; k < 8; ++k)
        c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  quint32 crc = 0xFFFFFFFFu;
  for (char ch : data)
    crc = table[(crc ^ quint8(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// Raw deflate: qCompress gives a 4-byte length, a 2-byte zlib header, the
// deflate stream and a 4-byte checksum.
inline QByteArray rawDeflate(const QByteArray &data) {
  const QByteArray z = qCompress(data, 6);
  return z.mid(6, z.size() - 10);
}

struct ZipItem {
  QByteArray name;
  QByteArray data;
  bool deflate = false;
  bool descriptor = false; // flag bit 3: sizes after the data
  bool descriptorSignature = true;
  bool zip64 = false;     // sizes in a zip64 extra field
  quint32 unixMode = 0;   // external attributes' high half (0 = none)
  quint16 extraFlags = 0; // more general-purpose flags (encryption bits)
  quint16 dosTime = 0x6000, dosDate = 0x5A21;
};

class ZipWriter {
public:
  void add(const ZipItem &item) { items_.push_back(item); }
  void add(const QByteArray &name, const QByteArray &data, bool deflate = false) {
    ZipItem item;
    item.name = name;
    item.data = data;
    item.deflate = deflate;
    items_.push_back(item);
  }

  // `prefix` goes in front; `adjustOffsets` as a self-extractor writer does,
  // or not, as when a stub is simply concatenated.
  QByteArray build(const QByteArray &prefix = {}, bool adjustOffsets = true,
                   const QByteArray &comment = {}) const {
    QByteArray out = prefix;
    const quint32 base = adjustOffsets ? quint32(prefix.size()) : 0;
    QByteArray central;
    for (const ZipItem &item : items_) {
      const QByteArray payload = item.deflate ? rawDeflate(item.data) : item.data;
      const quint32 crc = crc32Of(item.data);
      const quint32 offset = quint32(out.size() - prefix.size()) + base;
      const quint16 flags = quint16((item.descriptor ? 0x0008 : 0) | item.extraFlags);
      const quint16 method = item.deflate ? 8 : 0;
      QByteArray localExtra;
      if (item.zip64) {
        put16(localExtra, 1);
        put16(localExtra, 16);
        put64(localExtra, item.descriptor ? 0 : quint64(item.data.size()));
        put64(localExtra, item.descriptor ? 0 : quint64(payload.size()));
      }
      put32(out, 0x04034B50);
      put16(out, item.zip64 ? 45 : 20);
      put16(out, flags);
      put16(out, method);
      put16(out, item.dosTime);
      put16(out, item.dosDate);
      put32(out, item.descriptor ? 0 : crc);
      put32(out, item.descriptor ? 0 : (item.zip64 ? 0xFFFFFFFF : quint32(payload.size())));
      put32(out, item.descriptor ? 0 : (item.zip64 ? 0xFFFFFFFF : quint32(item.data.size())));
      put16(out, quint16(item.name.size()));
      put16(out, quint16(localExtra.size()));
      out += item.name;
      out += localExtra;
      out += payload;
      if (item.descriptor) {
        if (item.descriptorSignature)
          put32(out, 0x08074B50);
        put32(out, crc);
        if (item.zip64) {
          put64(out, quint64(payload.size()));
          put64(out, quint64(item.data.size()));
        } else {
          put32(out, quint32(payload.size()));
          put32(out, quint32(item.data.size()));
        }
      }
      QByteArray centralExtra;
      if (item.zip64) {
        put16(centralExtra, 1);
        put16(centralExtra, 16);
        put64(centralExtra, quint64(item.data.size()));
        put64(centralExtra, quint64(payload.size()));
      }
      put32(central, 0x02014B50);
      put16(central, item.unixMode ? 0x031E : 20);
      put16(central, item.zip64 ? 45 : 20);
      put16(central, flags);
      put16(central, method);
      put16(central, item.dosTime);
      put16(central, item.dosDate);
      put32(central, crc);
      put32(central, item.zip64 ? 0xFFFFFFFF : quint32(payload.size()));
      put32(central, item.zip64 ? 0xFFFFFFFF : quint32(item.data.size()));
      put16(central, quint16(item.name.size()));
      put16(central, quint16(centralExtra.size()));
      put16(central, 0);
      put16(central, 0);
      put16(central, 0);
      put32(central, item.unixMode << 16);
      put32(central, offset);
      central += item.name;
      central += centralExtra;
    }
    const quint32 centralOffset = quint32(out.size() - prefix.size()) + base;
    out += central;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(items_.size()));
    put16(out, quint16(items_.size()));
    put32(out, quint32(central.size()));
    put32(out, centralOffset);
    put16(out, quint16(comment.size()));
    out += comment;
    return out;
  }

  static void put16(QByteArray &out, quint16 v) {
    uchar b[2];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char *>(b), 2);
  }
  static void put32(QByteArray &out, quint32 v) {
    uchar b[4];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char *>(b), 4);
  }
  static void put64(QByteArray &out, quint64 v) {
    uchar b[8];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char *>(b), 8);
  }

private:
  std::vector<ZipItem> items_;
};

} // namespace vantor::test
