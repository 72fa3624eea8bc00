#include "archive/bytesource.h"
#include "platform/errors.h"
#include "support/tempdir.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::archive;

namespace {

// The buffered file reader must return exactly what the bytes hold, whatever
// mix of jumps, short and long reads a walk makes.
TEST(FileByteSource, ReadsLikeMemoryUnderRandomSeeksAndReads) {
  test::TempDir dir;
  QByteArray bytes(300000, Qt::Uninitialized);
  QRandomGenerator rng(42);
  for (char &c : bytes)
    c = char(rng.bounded(256));
  FileByteSource file(dir.write("data.bin", bytes));
  MemoryByteSource memory(bytes);
  ASSERT_EQ(file.size(), memory.size());
  for (int step = 0; step < 5000; ++step) {
    const int op = rng.bounded(4);
    if (op == 0) {
      const qint64 to = rng.bounded(int(bytes.size()) + 10);
      ASSERT_EQ(file.seek(to), memory.seek(to));
    } else if (op == 1) {
      // A short forward skip, as over a header's data.
      const qint64 to = file.pos() + rng.bounded(3000);
      ASSERT_EQ(file.seek(to), memory.seek(to));
    } else {
      const qint64 count = op == 2 ? rng.bounded(64) : rng.bounded(150000);
      QByteArray a(count, '\0'), b(count, '\0');
      const qint64 na = file.read(a.data(), count), nb = memory.read(b.data(), count);
      ASSERT_EQ(na, nb);
      ASSERT_EQ(a.left(na), b.left(nb));
    }
    ASSERT_EQ(file.pos(), memory.pos());
  }
}

TEST(FileByteSource, UnopenableFileRaisesInOutError) {
  test::TempDir dir;
  EXPECT_THROW(FileByteSource(dir.file("missing.bin")), InOutError);
}

TEST(ByteSource, ReadAtKeepsThePosition) {
  MemoryByteSource memory(QByteArray("0123456789"));
  memory.seek(3);
  char out[4] = {};
  EXPECT_TRUE(memory.readAt(5, out, 4));
  EXPECT_EQ(QByteArray(out, 4), "5678");
  EXPECT_EQ(memory.pos(), 3);
  EXPECT_FALSE(memory.readAt(8, out, 4));
  EXPECT_EQ(memory.pos(), 3);
}

} // namespace
