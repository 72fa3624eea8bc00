#pragma once

#include <QByteArray>
#include <QFile>
#include <QtGlobal>
#include <vector>

namespace vantor::archive {

// Random-access bytes an archive is read from.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual qint64 size() const = 0;
  virtual qint64 pos() const = 0;
  // Moves to `offset` (0..size); false when it cannot.
  virtual bool seek(qint64 offset) = 0;
  // Reads up to `count` bytes; returns how many arrived.
  virtual qint64 read(char *data, qint64 count) = 0;

  bool readByte(quint8 &value);
  bool readU32(quint32 &value);
  // Reads `count` bytes at `offset` without moving; false when short.
  bool readAt(qint64 offset, char *data, qint64 count);
};

// An in-memory archive (tests, fuzzing).
class MemoryByteSource final : public ByteSource {
public:
  explicit MemoryByteSource(QByteArray data) : data_(std::move(data)) {}
  qint64 size() const override { return data_.size(); }
  qint64 pos() const override { return pos_; }
  bool seek(qint64 offset) override;
  qint64 read(char *data, qint64 count) override;

private:
  QByteArray data_;
  qint64 pos_ = 0;
};

// A file read through its own buffer: header walks seek short distances
// forward, which stay inside the buffer.
class FileByteSource final : public ByteSource {
public:
  // Throws InOutError when the file cannot be opened.
  explicit FileByteSource(const QString &path);
  explicit FileByteSource(const QByteArray &nativePath);
  qint64 size() const override { return size_; }
  qint64 pos() const override { return pos_; }
  bool seek(qint64 offset) override;
  qint64 read(char *data, qint64 count) override;

private:
  static constexpr qint64 kBufferSize = 64 * 1024;
  static constexpr qint64 kMinFill = 4 * 1024;
  QFile file_;
  qint64 size_ = 0;
  qint64 pos_ = 0;
  std::vector<char> buffer_;
  qint64 bufferStart_ = 0; // file offset of buffer_[0]
  qint64 bufferFill_ = 0;  // valid bytes in buffer_
  qint64 fillSize_ = kMinFill;
};

} // namespace vantor::archive
