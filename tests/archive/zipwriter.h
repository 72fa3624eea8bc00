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

// `crc` continues an earlier sum.
inline quint32 crc32Of(const QByteArray &data, quint32 crc = 0) {
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
  crc = ~crc;
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
  // Traditional encryption when not empty; `cryptSeed` picks the twelve
  // header bytes, so the archive's bytes are fixed.
  QByteArray password;
  quint32 cryptSeed = 0;
};

// The traditional zip cipher's three keys.
class ZipCryptoKeys {
public:
  explicit ZipCryptoKeys(const QByteArray &password) {
    for (char c : password)
      update(quint8(c));
  }
  quint8 next() const {
    const quint32 t = (keys_[2] | 2) & 0xFFFF;
    return quint8((t * (t ^ 1)) >> 8);
  }
  quint8 encrypt(quint8 plain) {
    const quint8 out = plain ^ next();
    update(plain);
    return out;
  }
  quint8 decrypt(quint8 cipher) {
    const quint8 plain = cipher ^ next();
    update(plain);
    return plain;
  }

private:
  static quint32 crcStep(quint32 crc, quint8 b) { return ~crc32Of(QByteArray(1, char(b)), ~crc); }
  void update(quint8 b) {
    keys_[0] = crcStep(keys_[0], b);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = crcStep(keys_[2], quint8(keys_[1] >> 24));
  }
  quint32 keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

// The twelve-byte header and data of an entry encrypted as `item` asks.
inline QByteArray encryptPayload(const ZipItem &item, const QByteArray &payload) {
  ZipCryptoKeys keys(item.password);
  QByteArray out;
  for (int i = 0; i < 11; ++i)
    out += char(keys.encrypt(quint8(item.cryptSeed * 2654435761u >> (i % 4 * 8)) + quint8(i)));
  out += char(keys.encrypt(quint8(crc32Of(item.data) >> 24)));
  for (char c : payload)
    out += char(keys.encrypt(quint8(c)));
  return out;
}

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

  // Ends the archive with a zip64 end record carrying `extensible` data, and
  // its locator.
  void setZip64End(const QByteArray &extensible = {}) {
    zip64End_ = true;
    zip64Extensible_ = extensible;
  }

  // `prefix` goes in front; `adjustOffsets` as a self-extractor writer does,
  // or not, as when a stub is simply concatenated.
  QByteArray build(const QByteArray &prefix = {}, bool adjustOffsets = true,
                   const QByteArray &comment = {}) const {
    QByteArray out = prefix;
    const quint32 base = adjustOffsets ? quint32(prefix.size()) : 0;
    QByteArray central;
    for (const ZipItem &item : items_) {
      QByteArray payload = item.deflate ? rawDeflate(item.data) : item.data;
      if (!item.password.isEmpty())
        payload = encryptPayload(item, payload);
      const quint32 crc = crc32Of(item.data);
      const quint32 offset = quint32(out.size() - prefix.size()) + base;
      const quint16 flags = quint16((item.descriptor ? 0x0008 : 0) |
                                    (item.password.isEmpty() ? 0 : 0x0001) | item.extraFlags);
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
    if (zip64End_) {
      const quint64 end64Offset = quint64(out.size() - prefix.size()) + base;
      put32(out, 0x06064B50);
      put64(out, quint64(44 + zip64Extensible_.size()));
      put16(out, 45);
      put16(out, 45);
      put32(out, 0);
      put32(out, 0);
      put64(out, items_.size());
      put64(out, items_.size());
      put64(out, quint64(central.size()));
      put64(out, centralOffset);
      out += zip64Extensible_;
      put32(out, 0x07064B50);
      put32(out, 0);
      put64(out, end64Offset);
      put32(out, 1);
    }
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, zip64End_ ? 0xFFFF : quint16(items_.size()));
    put16(out, zip64End_ ? 0xFFFF : quint16(items_.size()));
    put32(out, zip64End_ ? 0xFFFFFFFF : quint32(central.size()));
    put32(out, zip64End_ ? 0xFFFFFFFF : centralOffset);
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
  bool zip64End_ = false;
  QByteArray zip64Extensible_;
};

} // namespace vantor::test
