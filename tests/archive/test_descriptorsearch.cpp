#include "archive/descriptorsearch.h"
#include "archive/zipheaderwalk.h"
#include "hostilezip.h"
#include "platform/usermessage.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace vantor::archive;

namespace {

constexpr quint32 kDescriptor = 0x08074B50;

// Counts the bytes a reader pulls, to show the work stays in proportion to
// the file.
class CountingSource final : public ByteSource {
public:
  explicit CountingSource(QByteArray data) : inner_(std::move(data)) {}
  qint64 size() const override { return inner_.size(); }
  qint64 pos() const override { return inner_.pos(); }
  bool seek(qint64 offset) override { return inner_.seek(offset); }
  qint64 read(char *data, qint64 count) override {
    const qint64 n = inner_.read(data, count);
    bytesRead += n;
    return n;
  }
  qint64 bytesRead = 0;

private:
  MemoryByteSource inner_;
};

// The plain search, one pass from the data's start per entry.
std::optional<quint64> searchFrom(const QByteArray &file, qint64 dataStart, bool zip64) {
  const auto *p = reinterpret_cast<const uchar *>(file.constData());
  const qint64 fieldEnd = zip64 ? 16 : 12;
  for (qint64 s = dataStart; s + 4 <= file.size(); ++s) {
    if (qFromLittleEndian<quint32>(p + s) != kDescriptor || s + fieldEnd > file.size())
      continue;
    const quint64 stored =
        zip64 ? qFromLittleEndian<quint64>(p + s + 8) : qFromLittleEndian<quint32>(p + s + 8);
    if (stored == quint64(s - dataStart))
      return stored;
  }
  return std::nullopt;
}

QByteArray descriptor(quint64 size, bool zip64) {
  QByteArray d(zip64 ? 24 : 16, '\0');
  auto *p = reinterpret_cast<uchar *>(d.data());
  qToLittleEndian<quint32>(kDescriptor, p);
  if (zip64)
    qToLittleEndian<quint64>(size, p + 8);
  else
    qToLittleEndian<quint32>(quint32(size), p + 8);
  return d;
}

struct Piece {
  enum Kind { Header, Descriptor, Filler } kind;
  qint64 value = 0; // Descriptor: index of the header it closes; Filler: bytes
  bool zip64 = false;
};

struct SearchCase {
  const char *label;
  std::vector<Piece> pieces;
};

// Lays the pieces out; each descriptor closes the data of the header it names.
QByteArray layOut(const std::vector<Piece> &pieces) {
  QByteArray file;
  std::vector<qint64> dataStarts;
  for (const Piece &piece : pieces) {
    switch (piece.kind) {
    case Piece::Header:
      file += vantor::test::bareDescriptorHeader();
      dataStarts.push_back(file.size());
      break;
    case Piece::Descriptor:
      file += descriptor(quint64(file.size() - dataStarts.at(size_t(piece.value))), piece.zip64);
      break;
    case Piece::Filler:
      file += QByteArray(piece.value, 'f');
      break;
    }
  }
  return file;
}

class DescriptorSearchCases : public ::testing::TestWithParam<SearchCase> {};

TEST_P(DescriptorSearchCases, AnswersAsASearchFromEachEntry) {
  const QByteArray file = layOut(GetParam().pieces);
  MemoryByteSource source(file);
  DescriptorSearch search(source);
  const auto *p = reinterpret_cast<const uchar *>(file.constData());
  int asked = 0;
  for (qint64 h = file.indexOf("PK\x03\x04"); h >= 0; h = file.indexOf("PK\x03\x04", h + 1)) {
    const qint64 dataStart = h + 30 + qFromLittleEndian<quint16>(p + h + 26);
    for (bool zip64 : {false, true}) {
      source.seek(dataStart - 3);
      EXPECT_EQ(search.find(h, dataStart, zip64), searchFrom(file, dataStart, zip64))
          << "header at " << h << (zip64 ? " (zip64)" : "");
      EXPECT_EQ(source.pos(), dataStart - 3) << "the reader's place is kept";
      ++asked;
    }
  }
  EXPECT_GT(asked, 0);
}

using P = Piece;
INSTANTIATE_TEST_SUITE_P(
    Layouts, DescriptorSearchCases,
    ::testing::Values(
        SearchCase{
            "in_order",
            {{P::Header}, {P::Filler, 10}, {P::Descriptor, 0}, {P::Header}, {P::Descriptor, 1}}},
        SearchCase{"none_closes", {{P::Header}, {P::Header}, {P::Filler, 40}}},
        // A later entry's descriptor comes first; an earlier one's after it.
        SearchCase{"crossed", {{P::Header}, {P::Header}, {P::Descriptor, 1}, {P::Descriptor, 0}}},
        SearchCase{"two_close_the_same", {{P::Header}, {P::Descriptor, 0}, {P::Descriptor, 0}}},
        SearchCase{"zip64_sizes",
                   {{P::Header}, {P::Descriptor, 0, true}, {P::Header}, {P::Descriptor, 1}}},
        // Descriptors across the search's read boundaries.
        SearchCase{"far_apart",
                   {{P::Header},
                    {P::Header},
                    {P::Filler, (1 << 20) - 70},
                    {P::Descriptor, 1},
                    {P::Filler, (1 << 20) + 100},
                    {P::Descriptor, 0},
                    {P::Header}}},
        SearchCase{"gap_before_descriptor", {{P::Header}, {P::Filler, 5}, {P::Descriptor, 0}}}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(DescriptorSearchCases, CutDescriptorFieldIsNoMatch) {
  QByteArray file = vantor::test::bareDescriptorHeader() + descriptor(0, false);
  file.chop(5); // the size field is cut off
  MemoryByteSource source(file);
  EXPECT_EQ(DescriptorSearch(source).find(0, 30, false), std::nullopt);
}

struct HostileCase {
  const char *label;
  int headers;
  qsizetype filler;
};

class HostileWalk : public ::testing::TestWithParam<HostileCase> {};

// Headers announcing descriptors that never come, no directory: each one
// fails, and the walk reads the file a bounded number of times, not once per
// header.
TEST_P(HostileWalk, ReadsInProportionToTheFile) {
  const HostileCase &c = GetParam();
  CountingSource source(vantor::test::bareDescriptorHeaders(c.headers, c.filler));
  QStringList messages;
  const vantor::ScopedMessagePresenter presenter(
      [&](const vantor::UserMessage &message) { messages << message.text; });
  ZipHeaderWalk walk(source);
  walk.run(false);
  EXPECT_TRUE(walk.entries.empty());
  EXPECT_EQ(messages, QStringList{QStringLiteral("No valid zip entries found")});
  EXPECT_LE(source.bytesRead, 4 * source.size() + (1 << 20));
}

INSTANTIATE_TEST_SUITE_P(Files, HostileWalk,
                         ::testing::Values(HostileCase{"headers_only", 6000, 0},
                                           HostileCase{"headers_then_filler", 100, 2 << 20}),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
