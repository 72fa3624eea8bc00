// Replacing a file whole: a failure at any step leaves the old file and no
// stray temporary file, and a link under the name is replaced, never followed.
#include "platform/filereplace.h"
#include "support/fullfilesystem.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace vantor::platform {
namespace {

using test::TempDir;

QByteArray contents(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry, hidden ones included.
QStringList entries(const QString &folder) {
  return QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

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
  EXPECT_EQ(entries(dir.path()), QStringList{"pacman.jpg"});
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
  EXPECT_EQ(entries(dir.path()), QStringList{"pacman.jpg"});
}

struct LinkCase {
  const char *name;
  bool outsideExists;
};

class LinkUnderTheName : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkUnderTheName, IsReplacedAndWhatItPointsAtIsUntouched) {
  TempDir dir;
  const QString outside = dir.file("elsewhere/precious.txt");
  if (GetParam().outsideExists)
    dir.write("elsewhere/precious.txt", "keep me");
  else
    dir.mkdir("elsewhere");
  const QString target = dir.mkdir("snaps") + "/pacman.jpg";
  ASSERT_TRUE(QFile::link(outside, target));

  EXPECT_EQ(replaceFile(QFile::encodeName(target), "new picture"), QString());
  EXPECT_FALSE(QFileInfo(target).isSymLink());
  EXPECT_EQ(contents(target), "new picture");
  if (GetParam().outsideExists)
    EXPECT_EQ(contents(outside), "keep me");
  else
    EXPECT_FALSE(QFileInfo::exists(outside));
}

INSTANTIATE_TEST_SUITE_P(Links, LinkUnderTheName,
                         ::testing::Values(LinkCase{"ToAFile", true}, LinkCase{"Dangling", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FileReplacement, AFullFileSystemLeavesNothingBehind) {
  TempDir dir;
  const QString folder = dir.mkdir("small");
  const QString target = folder + "/pacman.jpg";
  const test::FullFileSystem full(folder);
  if (!full.mounted())
    GTEST_SKIP() << "no small file system can be mounted here";
  EXPECT_EQ(replaceFile(QFile::encodeName(target), QByteArray(256 * 1024, 'j')),
            "no space left on device");
  EXPECT_FALSE(QFileInfo::exists(target));
  EXPECT_EQ(entries(folder), QStringList{".filler"});
}

} // namespace
} // namespace vantor::platform
