// Archives that bend the format yet are common enough to be read, and once
// were refused here: zip64 end records with extensible data or behind a stub,
// and names flagged UTF-8 that are not.
#include "archive/zipwriter.h"
#include "platform/handles.h"
#include "support/tempdir.h"
#include "unzipdriver.h"
#include "unzipfixture.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>

using namespace vantor::test;

namespace {

// Names and contents of the files below `root`, as raw bytes.
std::map<std::string, QByteArray> rawTree(const std::string &root, const std::string &prefix = {}) {
  std::map<std::string, QByteArray> files;
  const vantor::platform::UniqueDir dir(opendir(root.c_str()));
  if (!dir)
    return files;
  while (const dirent *e = readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..")
      continue;
    const std::string path = root + "/" + name;
    if (e->d_type == DT_DIR) {
      files.merge(rawTree(path, prefix + name + "/"));
      continue;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(in), {}};
    files[prefix + name] = QByteArray::fromStdString(content);
  }
  return files;
}

class ToleratedArchives : public UnzipFixture {
protected:
  std::map<std::string, QByteArray> extracted() const {
    return rawTree(QFile::encodeName(out).toStdString());
  }
};

struct Zip64Case {
  const char *label;
  QByteArray extensible;
  QByteArray stub;
  bool adjustOffsets;
};

void PrintTo(const Zip64Case &c, std::ostream *os) {
  *os << c.label;
}

class Zip64Ends : public ToleratedArchives, public ::testing::WithParamInterface<Zip64Case> {};

TEST_P(Zip64Ends, ExtractEveryEntry) {
  const Zip64Case &c = GetParam();
  ZipWriter w;
  w.add("one.txt", QByteArray(3000, 'o'), true);
  w.add("two.bin", "PK\x05\x06 PK\x06\x06 PK\x06\x07");
  w.setZip64End(c.extensible);
  UnzipRun run = runOn(w.build(c.stub, c.adjustOffsets));
  EXPECT_EQ(unzip.run(run), 2);
  EXPECT_FALSE(run.hasMessageWithCode(UNZIP_ERR_ARCHIVE));
  const std::map<std::string, QByteArray> expected{{"one.txt", QByteArray(3000, 'o')},
                                                   {"two.bin", "PK\x05\x06 PK\x06\x06 PK\x06\x07"}};
  EXPECT_EQ(extracted(), expected);
}

const QByteArray kExtensible("\x01\x00\x04\x00"
                             "abcd"
                             "PK\x06\x06 tail of the record",
                             32);
const QByteArray kStub = QByteArray("MZ stub ") + QByteArray(700, 's');

INSTANTIATE_TEST_SUITE_P(Records, Zip64Ends,
                         ::testing::Values(Zip64Case{"plain", {}, {}, true},
                                           Zip64Case{"extensible_data", kExtensible, {}, true},
                                           Zip64Case{"stub_adjusted", kExtensible, kStub, true},
                                           Zip64Case{"stub_concatenated", {}, kStub, false},
                                           Zip64Case{"stub_concatenated_extensible", kExtensible,
                                                     kStub, false}),
                         [](const auto &info) { return std::string(info.param.label); });

struct NameCase {
  const char *label;
  QByteArray name;
  bool folders;
  std::string written; // "" = refused
};

void PrintTo(const NameCase &c, std::ostream *os) {
  *os << c.label;
}

class UndecodableNames : public ToleratedArchives,
                         public ::testing::WithParamInterface<NameCase> {};

TEST_P(UndecodableNames, AreWrittenUnderTheirBytesInsideTheFolder) {
  const NameCase &c = GetParam();
  ZipWriter w;
  ZipItem item;
  item.name = c.name;
  item.data = "bytes";
  item.extraFlags = 0x0800;
  w.add(item);
  w.add("good.txt", "good");
  UnzipRun run = runOn(w.build());
  run.folders = c.folders;
  run.overwrite = true;
  EXPECT_EQ(unzip.run(run), c.written.empty() ? 1 : 2);
  std::map<std::string, QByteArray> expected{{"good.txt", "good"}};
  if (!c.written.empty())
    expected[c.written] = "bytes";
  EXPECT_EQ(extracted(), expected);
  // Nothing escaped beside the folder.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"a.zip", "out"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, UndecodableNames,
    ::testing::Values(NameCase{"latin1", "caf\xE9.txt", false, "caf\xE9.txt"},
                      NameCase{"cut_sequence", "a\xE2\x82.txt", true, "a\xE2\x82.txt"},
                      NameCase{"overlong_slash", "x\xC0\xAFy.txt", true, "x\xC0\xAFy.txt"},
                      NameCase{"in_folder", "d\xFF/f\xFE.txt", true, "d\xFF/f\xFE.txt"},
                      NameCase{"folder_dropped", "d\xFF/f\xFE.txt", false, "f\xFE.txt"},
                      NameCase{"climbing_out", "../../up\xFF.txt", true, "up\xFF.txt"},
                      NameCase{"absolute", "/tmp/abs\xFF.txt", true, "tmp/abs\xFF.txt"}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
