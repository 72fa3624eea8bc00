#include "platform/deletetree.h"
#include "support/tempdir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

using test::TempDir;

QByteArray native(const QString &path) {
  return QFile::encodeName(path);
}

void setMode(const QString &path, mode_t mode) {
  ASSERT_EQ(chmod(native(path).constData(), mode), 0) << path.toStdString();
}

void makeLink(const QString &target, const QString &link) {
  ASSERT_EQ(symlink(native(target).constData(), native(link).constData()), 0);
}

mode_t modeOf(const QString &path) {
  struct stat st {};
  return lstat(native(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool exists(const QString &path) {
  struct stat st {};
  return lstat(native(path).constData(), &st) == 0;
}

QString readText(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// As root every permission check passes, which would hide what read-only
// entries do. Within this scope file access is checked as an ordinary user
// (the file-system user id is per thread), who owns the given folder.
class OrdinaryUser final {
public:
  explicit OrdinaryUser(const QString &ownedFolder) {
    if (geteuid() != 0)
      return;
    giveAway(ownedFolder);
    QDirIterator it(ownedFolder,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
      giveAway(it.next());
    setfsgid(kNobody);
    setfsuid(kNobody);
    active_ = true;
  }
  ~OrdinaryUser() {
    if (active_) {
      setfsuid(0);
      setfsgid(0);
    }
  }
  OrdinaryUser(const OrdinaryUser &) = delete;
  OrdinaryUser &operator=(const OrdinaryUser &) = delete;

private:
  static constexpr uid_t kNobody = 65534;
  static void giveAway(const QString &path) {
    EXPECT_EQ(lchown(native(path).constData(), kNobody, kNobody), 0) << path.toStdString();
  }
  bool active_ = false;
};

class DeleteTree : public ::testing::Test {
protected:
  TempDir dir;
  QString root;

  void SetUp() override {
    root = dir.mkdir("tree/~del~~");
    dir.write("tree/~del~~/game.rom", "rom");
    dir.write("tree/~del~~/sub/b.bin", "b");
    dir.write("tree/~del~~/sub/deeper/c.bin", "c");
    dir.mkdir("tree/~del~~/sub/deeper/empty");
  }
  QString in(const QString &name) const { return root + "/" + name; }
  QString outside(const QString &name) const { return dir.file(name); }
  bool deleteAsOrdinaryUser(const QString &folder, bool removeFolder) {
    OrdinaryUser user(dir.path());
    return deleteTree(folder, removeFolder);
  }
};

TEST_F(DeleteTree, RemovesNestedFoldersAndTheRoot) {
  EXPECT_TRUE(deleteTree(root, true));
  EXPECT_FALSE(exists(root));
  EXPECT_TRUE(exists(dir.file("tree")));
}

TEST_F(DeleteTree, WithoutRemovalEmptiesEveryFolderButKeepsThem) {
  EXPECT_TRUE(deleteTree(root, false));
  for (const char *folder : {"", "sub", "sub/deeper", "sub/deeper/empty"})
    EXPECT_TRUE(QFileInfo(in(folder)).isDir()) << folder;
  for (const char *file : {"game.rom", "sub/b.bin", "sub/deeper/c.bin"})
    EXPECT_FALSE(exists(in(file))) << file;
}

TEST_F(DeleteTree, TrailingSeparatorAndRelativePathWork) {
  EXPECT_TRUE(deleteTree(root + "/", true));
  EXPECT_FALSE(exists(root));

  const QString again = dir.mkdir("tree/again");
  dir.write("tree/again/x", "x");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.file("tree")));
  const bool ok = deleteTree("again", true);
  QDir::setCurrent(before);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(exists(again));
}

struct LockedCase {
  const char *name;
  bool removeFolder;
};

void PrintTo(const LockedCase &c, std::ostream *os) {
  *os << c.name;
}

class DeleteLockedTree : public DeleteTree, public ::testing::WithParamInterface<LockedCase> {};

TEST_P(DeleteLockedTree, ReadOnlyFilesAndFoldersGoToo) {
  setMode(in("game.rom"), 0444);
  setMode(in("sub/deeper/c.bin"), 0);
  setMode(in("sub/deeper/empty"), 0555);
  setMode(in("sub/deeper"), 0); // not even listable
  setMode(in("sub"), 0555);     // listable, not changeable
  setMode(root, 0555);

  EXPECT_TRUE(deleteAsOrdinaryUser(root, GetParam().removeFolder));

  if (GetParam().removeFolder) {
    EXPECT_FALSE(exists(root));
  } else {
    // Kept folders get their modes back, emptied.
    EXPECT_EQ(modeOf(root), 0555u);
    EXPECT_EQ(modeOf(in("sub")), 0555u);
    EXPECT_EQ(modeOf(in("sub/deeper")), 0u);
    setMode(in("sub/deeper"), 0755);
    EXPECT_FALSE(exists(in("game.rom")));
    EXPECT_FALSE(exists(in("sub/deeper/c.bin")));
    EXPECT_TRUE(QFileInfo(in("sub/deeper/empty")).isDir());
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, DeleteLockedTree,
                         ::testing::Values(LockedCase{"remove", true}, LockedCase{"keep", false}),
                         [](const auto &info) { return std::string(info.param.name); });

// Names beginning with a dot are entries like any other: a crash leaves the
// unzip library's half-written ".vtmp-" files behind, and they must go too.
TEST_F(DeleteTree, NamesBeginningWithADotGoToo) {
  dir.write("tree/~del~~/.vtmp-1a2b-3", "partial");
  dir.write("tree/~del~~/.config", "x");
  dir.write("tree/~del~~/sub/.hidden/inside", "x");

  EXPECT_TRUE(deleteTree(root, true));

  EXPECT_FALSE(exists(root));
}

struct EmptyCase {
  const char *name;
  bool (*run)(const QString &folder);
  bool rootStays, subfoldersStay;
};

void PrintTo(const EmptyCase &c, std::ostream *os) {
  *os << c.name;
}

class DeleteTreeModes : public DeleteTree, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(DeleteTreeModes, RemoveWhatTheModeSays) {
  dir.write("tree/~del~~/.vtmp-9", "partial");
  EXPECT_TRUE(GetParam().run(root));
  EXPECT_EQ(QFileInfo(root).isDir(), GetParam().rootStays);
  EXPECT_EQ(QFileInfo(in("sub/deeper/empty")).isDir(), GetParam().subfoldersStay);
  for (const char *file : {".vtmp-9", "game.rom", "sub/b.bin", "sub/deeper/c.bin"})
    EXPECT_FALSE(exists(in(file))) << file;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DeleteTreeModes,
    ::testing::Values(
        EmptyCase{"whole", [](const QString &f) { return deleteTree(f, true); }, false, false},
        EmptyCase{"keepFolders", [](const QString &f) { return deleteTree(f, false); }, true, true},
        EmptyCase{"empty", [](const QString &f) { return emptyFolder(f); }, true, false}),
    [](const auto &info) { return std::string(info.param.name); });

// Lowers the limit on open descriptors for its lifetime.
class FewDescriptors final {
public:
  explicit FewDescriptors(rlim_t limit) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = limit;
    active_ = setrlimit(RLIMIT_NOFILE, &lower) == 0;
  }
  ~FewDescriptors() {
    if (active_)
      setrlimit(RLIMIT_NOFILE, &saved_);
  }
  FewDescriptors(const FewDescriptors &) = delete;
  FewDescriptors &operator=(const FewDescriptors &) = delete;
  bool active() const { return active_; }

private:
  rlimit saved_{};
  bool active_ = false;
};

// A chain of folders far deeper than the descriptors a process may hold,
// built relative to each folder so no path grows long.
TEST_F(DeleteTree, TreesDeeperThanTheDescriptorLimitGoWhole) {
  constexpr int kDepth = 600;
  int fd = open(native(root).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < kDepth; ++i) {
    ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
    const int file = openat(fd, ".vtmp-x", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    close(file);
    const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
  }
  close(fd);
  bool removed = false;
  {
    FewDescriptors few(64);
    ASSERT_TRUE(few.active());
    removed = deleteTree(root, true);
  }
  EXPECT_TRUE(removed);
  EXPECT_FALSE(exists(root));
}

TEST_F(DeleteTree, LinksInsideAreRemovedAndTheirTargetsKept) {
  const QString file = dir.write("outside/precious.txt", "precious");
  dir.write("outside/folder/inner.txt", "inner");
  makeLink(file, in("to-file"));
  makeLink(outside("outside/folder"), in("sub/to-folder"));
  makeLink(outside("outside"), in("sub/deeper/to-parent"));
  makeLink(outside("nowhere"), in("dangling"));
  setMode(file, 0444);

  EXPECT_TRUE(deleteAsOrdinaryUser(root, true));

  EXPECT_FALSE(exists(root));
  EXPECT_EQ(readText(file), "precious");
  EXPECT_EQ(modeOf(file), 0444u);
  EXPECT_EQ(readText(outside("outside/folder/inner.txt")), "inner");
}

TEST_F(DeleteTree, RootThatIsALinkIsLeftAlone) {
  dir.write("outside/folder/inner.txt", "inner");
  const QString link = dir.file("tree/linked");
  makeLink(outside("outside/folder"), link);

  for (const QString &path : {link, link + "/", link + "//"}) {
    EXPECT_FALSE(deleteTree(path, true)) << path.toStdString();
    EXPECT_FALSE(deleteTree(path, false)) << path.toStdString();
  }
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(readText(outside("outside/folder/inner.txt")), "inner");
}

TEST_F(DeleteTree, NoFolderNoDeletion) {
  const QString file = dir.write("plain.txt", "plain");
  EXPECT_FALSE(deleteTree(file, true));
  EXPECT_EQ(readText(file), "plain");
  EXPECT_FALSE(deleteTree(dir.file("missing"), true));
  EXPECT_FALSE(deleteTree(QString(), true));
}

// Something the user cannot delete (here: a file in a folder of someone
// else's) makes the result false and keeps the folders above it.
TEST_F(DeleteTree, UndeletableEntryKeepsItsFolders) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs to hand a folder to another user";
  const QString foreign = dir.mkdir("tree/~del~~/sub/foreign");
  dir.write("tree/~del~~/sub/foreign/locked.bin", "x");
  {
    OrdinaryUser user(dir.path());
    // Give the folder back to root after the ordinary user took ownership.
    setfsuid(0);
    ASSERT_EQ(lchown(native(foreign).constData(), 0, 0), 0);
    setMode(foreign, 0755);
    setfsuid(65534);
    EXPECT_FALSE(deleteTree(root, true));
  }
  EXPECT_TRUE(exists(in("sub/foreign/locked.bin")));
  EXPECT_TRUE(exists(root));
  EXPECT_FALSE(exists(in("game.rom")));
  EXPECT_FALSE(exists(in("sub/deeper")));
}

} // namespace
} // namespace vantor::platform
