// Replacing a file whole: a failure at any step leaves the old file and no
// stray temporary file. Links under the name and a full disk are tested
// through the snapshot adoption that meets them.
#include "platform/filereplace.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace vantor::platform {
namespace {

using test::contents;
using test::TempDir;

class FaultGuard final {
public:
  explicit FaultGuard(ReplaceFault fault) { setReplaceFault(std::move(fault)); }
  ~FaultGuard() { setReplaceFault({}); }
};

struct FailedStep {
  const char *name;
  ReplaceStep step;
  int error;
  const char *reason;
};

class FailingReplacement : public ::testing::TestWithParam<FailedStep> {};

TEST_P(FailingReplacement, KeepsTheOldFileAndLeavesNothingElse) {
  TempDir dir;
  const QString target = dir.write("pacman.jpg", "old picture");
  const FailedStep &c = GetParam();
  const FaultGuard fault([&](ReplaceStep step) { return step == c.step ? c.error : 0; });
  EXPECT_EQ(replaceFile(QFile::encodeName(target), QByteArray(100000, 'j')), c.reason);
  EXPECT_EQ(contents(target), "old picture");
  EXPECT_EQ(test::entriesOf(dir.path()), QStringList{"pacman.jpg"});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingReplacement,
    ::testing::Values(FailedStep{"Create", ReplaceStep::Create, EACCES, "permission denied"},
                      FailedStep{"Write", ReplaceStep::Write, ENOSPC, "no space left on device"},
                      FailedStep{"Sync", ReplaceStep::Sync, EIO, "input/output error"},
                      FailedStep{"Rename", ReplaceStep::Rename, EXDEV,
                                 "invalid cross-device link"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FileReplacement, WritesANewFileWithTheUsersPermissions) {
  TempDir dir;
  const QString target = dir.file("pacman.jpg");
  const mode_t before = ::umask(022);
  EXPECT_EQ(replaceFile(QFile::encodeName(target), "new picture"), QString());
  ::umask(before);
  EXPECT_EQ(contents(target), "new picture");
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(test::entriesOf(dir.path()), QStringList{"pacman.jpg"});
}

} // namespace
} // namespace vantor::platform
