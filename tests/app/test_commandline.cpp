// The program's command line: what it prints, how it leaves, which settings
// file it uses, and which window system it asks for.

#include "app/commandline.h"
#include "app/platformchoice.h"
#include "controls/form.h"
#include "settings/formstorage.h"
#include "settings/inifilename.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace vantor {
namespace {

struct LineCase {
  const char *name;
  QStringList arguments;
  bool run;
  int exitCode;
  const char *outputHas;
  const char *errorHas;
};

class ParseCommandLine : public ::testing::TestWithParam<LineCase> {
protected:
  void SetUp() override { setApplicationIdentity(); }
};

TEST_P(ParseCommandLine, RunsOrPrintsAndLeaves) {
  const LineCase &c = GetParam();
  QStringList arguments{QStringLiteral("/usr/bin/vantor")};
  arguments << c.arguments;
  const CommandLine line = parseCommandLine(arguments);
  EXPECT_EQ(line.run, c.run);
  EXPECT_EQ(line.exitCode, c.exitCode);
  if (*c.outputHas)
    EXPECT_TRUE(line.output.contains(QLatin1String(c.outputHas))) << line.output.toStdString();
  else
    EXPECT_TRUE(line.output.isEmpty()) << line.output.toStdString();
  if (*c.errorHas) {
    EXPECT_TRUE(line.error.contains(QLatin1String(c.errorHas))) << line.error.toStdString();
    EXPECT_TRUE(line.error.contains(QLatin1String("vantor --help"))) << line.error.toStdString();
  } else {
    EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
  }
}

const QString kFile = QStringLiteral("/tmp/a.ini");

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLine,
    ::testing::Values(
        LineCase{"nothing", {}, true, 0, "", ""},
        LineCase{"help", {"--help"}, false, 0, "--config <file>", ""},
        LineCase{"shortHelp", {"-h"}, false, 0, "--version", ""},
        LineCase{"version", {"--version"}, false, 0, "Vantor 0.1", ""},
        LineCase{"shortVersion", {"-v"}, false, 0, "Vantor 0.1", ""},
        LineCase{"config", {"--config", kFile}, true, 0, "", ""},
        LineCase{"configJoined", {"--config=" + kFile}, true, 0, "", ""},
        LineCase{"unknownLong", {"--bogus"}, false, kUsageExitCode, "", "Unknown option 'bogus'"},
        LineCase{"unknownShort", {"-x"}, false, kUsageExitCode, "", "Unknown option 'x'"},
        LineCase{"configWithoutFile",
                 {"--config"},
                 false,
                 kUsageExitCode,
                 "",
                 "Missing value after '--config'"},
        LineCase{"emptyConfig", {"--config="}, false, kUsageExitCode, "", "name is empty"},
        LineCase{"configIsFolder", {"--config", "/tmp"}, false, kUsageExitCode, "", "is a folder"},
        LineCase{"stray", {"game.zip"}, false, kUsageExitCode, "", "Unexpected argument"},
        LineCase{"dat", {"--dat", kFile}, true, 0, "", ""},
        LineCase{"emptyDat", {"--dat="}, false, kUsageExitCode, "", "name is empty"},
        LineCase{"cabinet", {"--cabinet", "--config", kFile}, true, 0, "", ""},
        LineCase{"cabinetHelp", {"--help"}, false, 0, "--cabinet", ""},
        LineCase{"cabinetTakesNoValue",
                 {"--cabinet=1"},
                 false,
                 kUsageExitCode,
                 "",
                 "Unexpected value after '--cabinet'"},
        // Qt's own options are left for the application object.
        LineCase{"qtPlatform", {"-platform", "xcb", "--config", kFile}, true, 0, "", ""},
        LineCase{"qtDoubleDash", {"--platform=offscreen", "-style=fusion"}, true, 0, "", ""},
        LineCase{"qtValues",
                 {"-style", "fusion", "-stylesheet", "a.qss", "-display", ":1", "-geometry", "+0+0",
                  "-qwindowtitle", "T", "-name", "n", "-session", "s"},
                 true,
                 0,
                 "",
                 ""},
        LineCase{"qtFlags", {"-reverse", "-nograb", "-widgetcount"}, true, 0, "", ""},
        LineCase{"qtThenVersion", {"-platform", "xcb", "--version"}, false, 0, "Vantor 0.1", ""},
        LineCase{"qtWithoutValue",
                 {"-platform"},
                 false,
                 kUsageExitCode,
                 "",
                 "Missing value after '-platform'"},
        LineCase{"helpNamesTheProgram", {"--help"}, false, 0, "Usage: vantor [options]", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CommandLineConfig, ARelativeFileIsKeptAbsoluteAgainstTheStartFolder) {
  test::TempDir dir;
  const QString start = QDir::currentPath();
  QDir::setCurrent(dir.path());
  const CommandLine line = parseCommandLine(
      {QStringLiteral("vantor"), QStringLiteral("--config"), QStringLiteral("sub/../my.ini")});
  QDir::setCurrent(start);
  EXPECT_EQ(line.configFile, QDir(dir.path()).filePath(QStringLiteral("my.ini")));
}

TEST(CommandLineConfig, ARelativeGameListIsKeptAbsolute) {
  test::TempDir dir;
  const QString start = QDir::currentPath();
  QDir::setCurrent(dir.path());
  const CommandLine line = parseCommandLine(
      {QStringLiteral("vantor"), QStringLiteral("--dat"), QStringLiteral("lists/../games.dat")});
  QDir::setCurrent(start);
  EXPECT_EQ(line.gameList, QDir(dir.path()).filePath(QStringLiteral("games.dat")));
  EXPECT_EQ(parseCommandLine({QStringLiteral("vantor")}).gameList, QString());
}

TEST(CommandLineCabinet, OnlyTheOptionAsksForTheCabinet) {
  EXPECT_FALSE(parseCommandLine({QStringLiteral("vantor")}).cabinet);
  EXPECT_TRUE(parseCommandLine({QStringLiteral("vantor"), QStringLiteral("--cabinet")}).cabinet);
}

// A chosen file takes every window's settings, and names without a folder
// are read beside it.
TEST(CommandLineConfig, TheChosenFileHoldsTheWindowSettings) {
  test::TempDir dir;
  const QString chosen = dir.file(QStringLiteral("new/folder/mine.INI"));
  setIniFilePathOverride(chosen);
  EXPECT_EQ(defaultIniFilePath(), QDir::toNativeSeparators(chosen));
  EXPECT_TRUE(QDir(dir.file(QStringLiteral("new/folder"))).exists());
  {
    TForm form;
    form.setObjectName(QStringLiteral("frmabout"));
    TFormStorage *storage =
        addFormStorage(&form, QStringLiteral("about"), TFormPlacement::fpPosition);
    EXPECT_EQ(storage->resolvedIniFileName(), QDir::toNativeSeparators(chosen));
    storage->setIniFileName(QStringLiteral("other.INI"));
    EXPECT_EQ(storage->resolvedIniFileName(),
              QDir::toNativeSeparators(dir.file(QStringLiteral("new/folder/other.INI"))));
    storage->setIniFileName(QString());
    storage->LoadWindowSettings();
    storage->StoreWindowSettings();
  }
  setIniFilePathOverride(QString());
  EXPECT_NE(defaultIniFilePath(), QDir::toNativeSeparators(chosen));
  QFile file(chosen);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("[about]"));
}

struct PlatformCase {
  const char *name;
  const char *chosen;
  const char *display;
  QStringList arguments;
  const char *expected;
};

class PreferredPlatform : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(PreferredPlatform, AnXDisplayIsPreferredUnlessTheUserChose) {
  const PlatformCase &c = GetParam();
  QStringList arguments{QStringLiteral("vantor")};
  arguments << c.arguments;
  EXPECT_EQ(preferredPlatform({c.chosen, c.display, arguments}), QByteArray(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreferredPlatform,
    ::testing::Values(PlatformCase{"xDisplay", "", ":0", {}, "xcb"},
                      PlatformCase{"noDisplay", "", "", {}, ""},
                      PlatformCase{"blankDisplay", "", "  ", {}, ""},
                      PlatformCase{"userChoseWayland", "wayland", ":0", {}, ""},
                      PlatformCase{"userChoseOffscreen", "offscreen", "", {}, ""},
                      PlatformCase{"platformArgument", "", ":0", {"-platform", "wayland"}, ""},
                      PlatformCase{"platformArgumentJoined", "", ":0", {"--platform=wayland"}, ""},
                      PlatformCase{
                          "otherArguments", "", ":1", {"--config", "-platform.ini"}, "xcb"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PlatformPreference, TheVariableIsSetOnlyUntilReleased) {
  const QByteArray savedPlatform = qgetenv("QT_QPA_PLATFORM");
  const QByteArray savedDisplay = qgetenv("DISPLAY");
  qunsetenv("QT_QPA_PLATFORM");
  qputenv("DISPLAY", ":42");
  {
    PlatformPreference preference({QStringLiteral("vantor")});
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");
    preference.release();
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  { PlatformPreference untouched({QStringLiteral("vantor")}); }
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "offscreen");
  qputenv("QT_QPA_PLATFORM", savedPlatform);
  if (savedDisplay.isNull())
    qunsetenv("DISPLAY");
  else
    qputenv("DISPLAY", savedDisplay);
}

// The built program: text requests work with no display at all, and an
// unknown option ends with the usage exit code.
struct ProgramCase {
  const char *name;
  QStringList arguments;
  int exitCode;
  const char *stdoutHas;
  const char *stderrHas;
};

class Program : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(Program, AnswersOnTheTerminal) {
  const ProgramCase &c = GetParam();
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(env);
  process.start(qEnvironmentVariable("VANTOR_BIN_DIR") + QStringLiteral("/vantor"), c.arguments);
  ASSERT_TRUE(process.waitForFinished(60000)) << "the program did not end within a minute";
  const QByteArray out = process.readAllStandardOutput();
  const QByteArray err = process.readAllStandardError();
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << err.toStdString();
  EXPECT_EQ(process.exitCode(), c.exitCode) << err.toStdString();
  EXPECT_TRUE(out.contains(c.stdoutHas)) << out.toStdString();
  EXPECT_TRUE(err.contains(c.stderrHas)) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Program,
    ::testing::Values(
        ProgramCase{"help", {"--help"}, 0, "--config <file>", ""},
        ProgramCase{"version", {"--version"}, 0, "Vantor 0.1\n", ""},
        ProgramCase{"unknown", {"--frobnicate"}, kUsageExitCode, "", "Unknown option 'frobnicate'"},
        ProgramCase{"afterQtOption",
                    {"-platform", "offscreen", "--frobnicate"},
                    kUsageExitCode,
                    "",
                    "Unknown option 'frobnicate'"},
        ProgramCase{"configWithoutFile", {"--config"}, kUsageExitCode, "", "Missing value"},
        ProgramCase{"stray", {"game.zip"}, kUsageExitCode, "", "Unexpected argument 'game.zip'"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor
