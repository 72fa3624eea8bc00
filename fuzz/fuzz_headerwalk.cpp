// Walks the local headers of arbitrary bytes, as an archive and as an ".EXE".
#include "archive/bytesource.h"
#include "archive/zipheaderwalk.h"
#include "platform/errors.h"
#include "platform/usermessage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  for (const bool selfExtractor : {false, true}) {
    vantor::archive::MemoryByteSource source(bytes);
    int messages = 0;
    const vantor::ScopedMessagePresenter presenter(
        [&](const vantor::UserMessage &) { ++messages; });
    vantor::archive::ZipHeaderWalk walk(source);
    try {
      walk.run(selfExtractor);
    } catch (const vantor::StreamError &) {
    }
    // The reader never reports more than one message and never lists an entry
    // that does not fit in the file.
    if (messages > 1)
      std::abort();
    for (const auto &entry : walk.entries)
      if (entry.headerOffset < 0 || entry.headerOffset + 30 > qint64(size) ||
          entry.dataSize > quint64(size))
        std::abort();
  }
  return 0;
}
