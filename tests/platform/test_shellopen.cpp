#include "platform/errors.h"
#include "platform/shellopen.h"
#include "platform/usermessage.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <gtest/gtest.h>

namespace vantor::platform {
namespace {

using test::TempDir;

struct AddressCase {
  const char *target;
  const char *expected;
};

void PrintTo(const AddressCase &c, std::ostream *os) {
  *os << c.target;
}

class ShellAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ShellAddress, TurnsBackslashSchemesIntoAddresses) {
  EXPECT_EQ(shellAddress(QString::fromUtf8(GetParam().target)),
            QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellAddress,
    ::testing::Values(
        AddressCase{R"(http:\\abc)", "http://abc"}, AddressCase{R"(ftp:\\abc)", "ftp://abc"},
        AddressCase{R"(HTTPS:\\x.example)", "HTTPS://x.example"},
        AddressCase{R"(svn+ssh:\\host)", "svn+ssh://host"}, AddressCase{R"(http:\\)", "http://"},
        // Only the two backslashes after the scheme change.
        AddressCase{R"(http:\\a\b)", R"(http://a\b)"},
        AddressCase{R"(http:\\\\a)", R"(http://\\a)"}, AddressCase{"mailto:abc", "mailto:abc"},
        AddressCase{"http://abc", "http://abc"}, AddressCase{R"(http:\abc)", R"(http:\abc)"},
        AddressCase{"abc", "abc"}, AddressCase{"", ""}, AddressCase{":\\\\x", ":\\\\x"},
        // A drive letter is not a scheme; nothing is trimmed.
        AddressCase{R"(C:\\dir)", R"(C:\\dir)"}, AddressCase{R"( http:\\x)", R"( http:\\x)"},
        AddressCase{R"(1http:\\x)", R"(1http:\\x)"}, AddressCase{R"(ht tp:\\x)", R"(ht tp:\\x)"}));

TEST(ShellOpen, HandsTheOpenerTheConvertedAddressWhole) {
  QStringList opened;
  ScopedShellOpener opener([&](const QString &address) { opened << address; });
  const QString longName = QString(120, u'a');
  shellOpen(QStringLiteral("http:\\\\") + longName);
  shellOpen(QStringLiteral("mailto:me@vantor.example"));
  EXPECT_EQ(opened, (QStringList{QStringLiteral("http://") + longName,
                                 QStringLiteral("mailto:me@vantor.example")}));
}

// An opener that hangs fails the test here rather than at ctest's time limit.
void waitForEnd(QProcess *process) {
  // An opener that cannot start ends the wait at once, with its own error.
  if (process->state() != QProcess::NotRunning && !process->waitForFinished(30000)) {
    EXPECT_NE(process->error(), QProcess::Timedout) << "the opener did not end";
  }
}

// A stand-in for the desktop's opener: records its argument and exits with
// the given status.
class Opener : public ::testing::Test {
protected:
  QString script(int exitCode) {
    const QString path = dir.write(QStringLiteral("bin/xdg-open"),
                                   QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit %2\n")
                                       .arg(dir.file(QStringLiteral("opened")))
                                       .arg(exitCode)
                                       .toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
  }
  QString recorded() const {
    QFile f(dir.file(QStringLiteral("opened")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  // Runs the opener to its end; the failure arrives from its signals.
  QString run(const QString &program, const QString &address) {
    QString failure;
    QPointer<QProcess> process =
        startOpener(program, address, [&](const QString &reason) { failure = reason; });
    if (process)
      waitForEnd(process);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(process.isNull()) << "the finished process deletes itself";
    return failure;
  }

  TempDir dir;
};

TEST_F(Opener, PassesTheAddressAsOneArgument) {
  const QString address = QStringLiteral("http://vantor.example/a b?c=1&d='2'") + QString(90, u'x');
  EXPECT_EQ(run(script(0), address), QString());
  EXPECT_EQ(recorded(), address);
}

TEST_F(Opener, ReportsAnOpenerThatCannotStart) {
  EXPECT_FALSE(run(dir.file(QStringLiteral("missing")), QStringLiteral("http://x")).isEmpty());
}

TEST_F(Opener, TheDesktopOpenerTellsTheUserWhenItFails) {
  script(4);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", dir.file(QStringLiteral("bin")).toLocal8Bit());
  QStringList shown;
  {
    ScopedMessagePresenter presenter([&](const UserMessage &m) { shown << m.text; });
    shellOpen(QStringLiteral("ftp:\\\\files.vantor.example"));
    for (QProcess *p : QCoreApplication::instance()->findChildren<QProcess *>())
      waitForEnd(p);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  qputenv("PATH", path);
  EXPECT_EQ(recorded(), QStringLiteral("ftp://files.vantor.example"));
  EXPECT_EQ(shown, QStringList{cannotOpenText(
                       QStringLiteral("ftp://files.vantor.example"),
                       QStringLiteral("the program that opens it failed (exit code 4)."))});
}

TEST_F(Opener, NoOpenerAtAllIsAnErrorNotSilence) {
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", dir.mkdir(QStringLiteral("empty")).toLocal8Bit());
  QString message;
  try {
    shellOpen(QStringLiteral("http:\\\\vantor.example"));
  } catch (const Error &e) {
    message = e.message();
  }
  qputenv("PATH", path);
  EXPECT_EQ(message, cannotOpenText(QStringLiteral("http://vantor.example"),
                                    QStringLiteral("no program to open it is installed.")));
}

} // namespace
} // namespace vantor::platform
