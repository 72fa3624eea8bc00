#include "archive/zipwriter.h"
#include "unzipfixture.h"
#include "unziplib/faultinjection.h"

#include <QDirIterator>
#include <gtest/gtest.h>

using namespace vantor::test;
using unziplib::FaultSite;

namespace {

constexpr int kEntries = 12;

QByteArray content(int i) {
  QByteArray data;
  while (data.size() < 20000 + i * 1000)
    data += "entry " + QByteArray::number(i) + " line " + QByteArray::number(data.size()) + "\n";
  return data;
}

QByteArray archive() {
  ZipWriter w;
  for (int i = 0; i < kEntries; ++i)
    w.add("f" + QByteArray::number(i) + ".bin", content(i), i % 3 != 0);
  return w.build();
}

struct FaultCase {
  const char *label;
  FaultSite site;
  int pass;          // 0: every time
  int expectedFiles; // -1: any number below kEntries
  const char *message;
};

// Arms the library's fault site and disarms it again however the test ends.
class ArmedFault {
public:
  ArmedFault(UnzipTestFailAllocationFunction arm, FaultSite site, int pass) : arm_(arm) {
    arm_(int32_t(site), pass);
  }
  ~ArmedFault() { arm_(int32_t(FaultSite::None), 0); }
  ArmedFault(const ArmedFault &) = delete;
  ArmedFault &operator=(const ArmedFault &) = delete;

private:
  UnzipTestFailAllocationFunction arm_;
};

class AllocationFailures : public UnzipFixture, public ::testing::WithParamInterface<FaultCase> {};

// The process goes on, the caller hears why, the files it heard of are whole
// and nothing half-made is left behind.
TEST_P(AllocationFailures, AreReportedAndLeaveOnlyWholeFiles) {
  const FaultCase &c = GetParam();
  const auto arm =
      reinterpret_cast<UnzipTestFailAllocationFunction>(unzip.symbol("UnzipTestFailAllocation"));
  ASSERT_NE(arm, nullptr) << "the library was built without its test entry point";
  UnzipRun run = runOn(archive());
  {
    const ArmedFault fault(arm, c.site, c.pass);
    unzip.run(run);
  }
  if (c.expectedFiles >= 0) {
    EXPECT_EQ(run.result, c.expectedFiles);
  }
  EXPECT_LT(run.result, kEntries);
  int matching = 0;
  for (const UnzipEvent &m : run.messages())
    matching += m.text.find(c.message) != std::string::npos;
  EXPECT_EQ(matching, 1) << "expected one message with: " << c.message;
  EXPECT_EQ(run.events.back().action, UNZIP_ACTION_BATCH_END);

  int files = 0;
  QDirIterator it(out, QDir::Files | QDir::Hidden);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString name = it.fileName();
    ASSERT_TRUE(name.startsWith('f') && name.endsWith(".bin"))
        << "left behind: " << name.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content(name.mid(1, name.size() - 5).toInt())) << name.toStdString();
    ++files;
  }
  EXPECT_EQ(files, run.result);

  // The library is fine afterwards.
  freshOut();
  UnzipRun again = runOn(archive(), "again.zip");
  EXPECT_EQ(unzip.run(again), kEntries);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, AllocationFailures,
    ::testing::Values(FaultCase{"third_commit", FaultSite::Commit, 3, 2, "Out of memory"},
                      FaultCase{"first_commit", FaultSite::Commit, 1, 0, "Out of memory"},
                      FaultCase{"a_decoder", FaultSite::DecoderSetup, 1, -1, "Out of memory"},
                      // No thread can take a job: the calling thread must
                      // stop waiting for them.
                      FaultCase{"every_decoder", FaultSite::DecoderSetup, 0, 0, "Out of memory"},
                      FaultCase{"a_buffer", FaultSite::Buffer, 2, kEntries - 1, ": out of memory"}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
