#include "archive/bytesource.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handles.h"

#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace vantor::archive {

bool ByteSource::readByte(quint8 &value) {
  char c;
  if (read(&c, 1) != 1)
    return false;
  value = static_cast<quint8>(c);
  return true;
}

bool ByteSource::readU32(quint32 &value) {
  uchar raw[4];
  if (read(reinterpret_cast<char *>(raw), 4) != 4)
    return false;
  value = qFromLittleEndian<quint32>(raw);
  return true;
}

bool ByteSource::readAt(qint64 offset, char *data, qint64 count) {
  const qint64 saved = pos();
  const bool ok = offset >= 0 && seek(offset) && read(data, count) == count;
  seek(saved);
  return ok;
}

bool MemoryByteSource::seek(qint64 offset) {
  if (offset < 0 || offset > data_.size())
    return false;
  pos_ = offset;
  return true;
}

qint64 MemoryByteSource::read(char *data, qint64 count) {
  const qint64 n = std::clamp<qint64>(data_.size() - pos_, 0, std::max<qint64>(count, 0));
  if (n > 0)
    std::memcpy(data, data_.constData() + pos_, size_t(n));
  pos_ += n;
  return n;
}

FileByteSource::FileByteSource(const QString &path) : FileByteSource(QFile::encodeName(path)) {}

FileByteSource::FileByteSource(const QByteArray &nativePath) {
  // Opened by its bytes: a name that is not valid UTF-8 still finds its file.
  platform::UniqueFd fd(::open(nativePath.constData(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid() || !file_.open(fd.get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                                 QFileDevice::AutoCloseHandle)) {
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    throw InOutError(
        QStringLiteral("Cannot open file \"%1\". %2").arg(platform::displayName(nativePath), why));
  }
  fd.release(); // the file closes it now
  size_ = file_.size();
  buffer_.resize(kBufferSize);
}

bool FileByteSource::seek(qint64 offset) {
  if (offset < 0 || offset > size_)
    return false;
  pos_ = offset;
  return true;
}

qint64 FileByteSource::read(char *data, qint64 count) {
  qint64 done = 0;
  while (done < count && pos_ < size_) {
    if (pos_ < bufferStart_ || pos_ >= bufferStart_ + bufferFill_) {
      const qint64 wanted = count - done;
      if (wanted >= kBufferSize) {
        // Large reads skip the buffer.
        if (!file_.seek(pos_))
          break;
        const qint64 n = file_.read(data + done, wanted);
        if (n <= 0)
          break;
        pos_ += n;
        done += n;
        continue;
      }
      // A jump reads a little (a header is small); reading on in sequence
      // grows the read up to the whole buffer.
      const bool sequential = pos_ == bufferStart_ + bufferFill_;
      fillSize_ = sequential ? std::min(fillSize_ * 2, kBufferSize) : kMinFill;
      if (!file_.seek(pos_))
        break;
      const qint64 n = file_.read(buffer_.data(), std::max(fillSize_, wanted));
      if (n <= 0)
        break;
      bufferStart_ = pos_;
      bufferFill_ = n;
    }
    const qint64 inBuffer = bufferStart_ + bufferFill_ - pos_;
    const qint64 n = std::min(inBuffer, count - done);
    std::memcpy(data + done, buffer_.data() + (pos_ - bufferStart_), size_t(n));
    pos_ += n;
    done += n;
  }
  return done;
}

} // namespace vantor::archive
