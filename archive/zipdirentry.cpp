#include "archive/zipdirentry.h"

#include <QtEndian>

namespace vantor::archive {

void ZipDirEntry::setHeader(const uchar *raw) {
  versionNeeded = qFromLittleEndian<quint16>(raw + 0);
  flags = qFromLittleEndian<quint16>(raw + 2);
  method = qFromLittleEndian<quint16>(raw + 4);
  modTime = qFromLittleEndian<quint16>(raw + 6);
  modDate = qFromLittleEndian<quint16>(raw + 8);
  crc32 = qFromLittleEndian<quint32>(raw + 10);
  compressedSize = qFromLittleEndian<quint32>(raw + 14);
  uncompressedSize = qFromLittleEndian<quint32>(raw + 18);
  nameLength = qFromLittleEndian<quint16>(raw + 22);
  extraLength = qFromLittleEndian<quint16>(raw + 24);
}

} // namespace vantor::archive
