#include "platform/process.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vantor::platform {
namespace {

using test::TempDir;

struct SplitCase {
  const char *line;
  QStringList expected;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
  *os << c.line;
}

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, FollowsTheRuntimeRules) {
  EXPECT_EQ(splitCommandLine(QString::fromUtf8(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLine,
    ::testing::Values(
        // The launcher's own line: quoted program, two blanks, trailing blank.
        SplitCase{R"("C:\Neo Rage\neorage.exe"  C:\Neo\~del~~ -s25 -v -f2 )",
                  {R"(C:\Neo Rage\neorage.exe)", R"(C:\Neo\~del~~)", "-s25", "-v", "-f2"}},
        SplitCase{"", {}}, SplitCase{"prog", {"prog"}}, SplitCase{"prog   ", {"prog"}},
        SplitCase{"a b\tc", {"a", "b", "c"}}, SplitCase{"p \t  x", {"p", "x"}},
        SplitCase{R"(p "a b" c)", {"p", "a b", "c"}}, SplitCase{R"(p a"b c"d)", {"p", "ab cd"}},
        SplitCase{R"(p "")", {"p", ""}}, SplitCase{R"(p "" x)", {"p", "", "x"}},
        SplitCase{R"(p "a""b")", {"p", R"(a"b)"}}, SplitCase{R"(p "a""b c")", {"p", R"(a"b c)"}},
        SplitCase{R"(p """")", {"p", R"(")"}}, SplitCase{R"(p a\b)", {"p", R"(a\b)"}},
        SplitCase{R"(p a\\b)", {"p", R"(a\\b)"}}, SplitCase{R"(p a\"b)", {"p", R"(a"b)"}},
        SplitCase{R"(p a\\\"b)", {"p", R"(a\"b)"}}, SplitCase{R"(p a\\"b c")", {"p", R"(a\b c)"}},
        SplitCase{R"(p a\\\\"b")", {"p", R"(a\\b)"}}, SplitCase{R"(p "a\" b")", {"p", R"(a" b)"}},
        SplitCase{R"(p "C:\dir\\")", {"p", R"(C:\dir\)"}},
        SplitCase{R"(p trailing\)", {"p", R"(trailing\)"}},
        SplitCase{R"(p "open quote to the end)", {"p", "open quote to the end"}},
        // The program name honours quotes only: backslashes stay as they are.
        SplitCase{R"("C:\dir\"  x)", {R"(C:\dir\)", "x"}},
        SplitCase{R"(pro"gram na"me x)", {"program name", "x"}},
        SplitCase{R"(a\"b c)", {R"(a\b c)"}},
        // A leading blank leaves the program name empty, as there.
        SplitCase{" p", {"", "p"}}));

class SplitArguments : public ::testing::TestWithParam<SplitCase> {};

// The user's additional commands: no program name in front, so the first
// word follows the argument rules too.
TEST_P(SplitArguments, FollowTheArgumentRulesFromTheFirstWord) {
  EXPECT_EQ(splitArguments(QString::fromUtf8(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, SplitArguments,
                         ::testing::Values(SplitCase{"", {}}, SplitCase{"   ", {}},
                                           SplitCase{"-sound 1", {"-sound", "1"}},
                                           SplitCase{" \t-a\tb ", {"-a", "b"}},
                                           SplitCase{R"(-cfg "C:\My Games\neo.cfg")",
                                                     {"-cfg", R"(C:\My Games\neo.cfg)"}},
                                           SplitCase{R"(a\"b c)", {R"(a"b)", "c"}},
                                           SplitCase{R"("" x)", {"", "x"}}));

class RunAndWait : public ::testing::Test {
protected:
  TempDir dir;

  // A script that records its working folder and arguments, one a line.
  QString recorder(const QString &name, int exitCode) {
    const QString record = dir.file("record.txt");
    const QString path = dir.write(
        name, QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; "
                             "done; } > '%1'\nexit %2\n")
                  .arg(record)
                  .arg(exitCode)
                  .toUtf8());
    makeExecutable(path);
    return path;
  }

  static void makeExecutable(const QString &path) {
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0755), 0);
  }

  QStringList recorded() {
    QFile file(dir.file("record.txt"));
    if (!file.open(QIODevice::ReadOnly))
      return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
  }

  static QString canonical(const QString &path) { return QFileInfo(path).canonicalFilePath(); }
};

TEST_F(RunAndWait, RunsTheProgramInTheFolderWithItsArguments) {
  const QString script = recorder("neo rage.sh", 7);
  const QString work = dir.mkdir("emulator");
  const RunResult result = winExecAndWait(
      QStringLiteral("\"%1\"  %2/~del~~ -s25 \"two words\" a\\\"b ").arg(script, work), work);
  ASSERT_TRUE(result.started) << result.error.toStdString();
  EXPECT_TRUE(result.exitedNormally());
  EXPECT_EQ(result.exitCode, 7);
  const QStringList lines = recorded();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(canonical(lines[0]), canonical(work));
  EXPECT_EQ(lines.mid(1), QStringList({work + "/~del~~", "-s25", "two words", "a\"b"}));
}

TEST_F(RunAndWait, EmptyFolderMeansTheCurrentOne) {
  const QString script = recorder("rec.sh", 0);
  const RunResult result = winExecAndWait(QStringLiteral("\"%1\"").arg(script));
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, 0);
  ASSERT_FALSE(recorded().isEmpty());
  EXPECT_EQ(canonical(recorded().first()), canonical(QDir::currentPath()));
}

TEST_F(RunAndWait, RelativeProgramIsFoundFromTheCurrentFolder) {
  recorder("rec.sh", 3);
  const QString work = dir.mkdir("elsewhere");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const RunResult result = winExecAndWait("./rec.sh x", work);
  QDir::setCurrent(before);
  ASSERT_TRUE(result.started) << result.error.toStdString();
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(canonical(recorded().value(0)), canonical(work));
}

TEST_F(RunAndWait, BareProgramNameIsSearchedAlongThePath) {
  const RunResult result = winExecAndWait(R"(sh -c "exit 42")");
  ASSERT_TRUE(result.started) << result.error.toStdString();
  EXPECT_EQ(result.exitCode, 42);
}

TEST_F(RunAndWait, ReportsTheSignalThatEndedTheChild) {
  const QString script = dir.write("die.sh", "#!/bin/sh\nkill -TERM $$\nsleep 5\n");
  makeExecutable(script);
  const RunResult result = winExecAndWait(QStringLiteral("\"%1\"").arg(script));
  ASSERT_TRUE(result.started);
  EXPECT_FALSE(result.exitedNormally());
  EXPECT_EQ(result.signal, SIGTERM);
}

struct StartFailure {
  const char *name;
  int expectedErrno;
};

void PrintTo(const StartFailure &c, std::ostream *os) {
  *os << c.name;
}

class RunAndWaitFailure : public RunAndWait, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(RunAndWaitFailure, ReportsWhyAndDoesNotWait) {
  const StartFailure &c = GetParam();
  QString program = dir.file("missing");
  QString folder;
  if (std::strcmp(c.name, "notExecutable") == 0) {
    program = dir.write("plain.sh", "#!/bin/sh\nexit 0\n");
  } else if (std::strcmp(c.name, "notAProgram") == 0) {
    program = dir.write("garbage", QByteArray("\x01\x02\x03 not a program\n"));
    makeExecutable(program);
  } else if (std::strcmp(c.name, "missingFolder") == 0) {
    program = recorder("rec.sh", 0);
    folder = dir.file("no-such-folder");
  } else if (std::strcmp(c.name, "folderAsProgram") == 0) {
    program = dir.mkdir("afolder");
  }
  const RunResult result = winExecAndWait(QStringLiteral("\"%1\" arg").arg(program), folder);
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(result.exitedNormally());
  EXPECT_EQ(result.error, QString::fromLocal8Bit(std::strerror(c.expectedErrno)));
  EXPECT_TRUE(recorded().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunAndWaitFailure,
                         ::testing::Values(StartFailure{"missingProgram", ENOENT},
                                           StartFailure{"notExecutable", EACCES},
                                           StartFailure{"notAProgram", ENOEXEC},
                                           StartFailure{"missingFolder", ENOENT},
                                           StartFailure{"folderAsProgram", EACCES}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RunAndWaitEmpty, EmptyCommandLineStartsNothing) {
  const RunResult result = winExecAndWait(QString());
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(result.error.isEmpty());
}

} // namespace
} // namespace vantor::platform
