// Two copies of the program closing at the same moment, each saving sections
// of its own, over a settings file that also holds a large section neither
// of them knows. Every version of the file seen meanwhile is whole, and in
// the end both copies' sections are there.
#include "platform/profile.h"
#include "support/tempdir.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace vantor::platform {
namespace {

using test::contents;

constexpr int kRounds = 10;

QByteArray largeSection() {
  QByteArray data = "[history]\n";
  for (int i = 0; data.size() < 400 * 1024; ++i)
    data += "entry" + QByteArray::number(i) + "=" + QByteArray(60, char('a' + i % 26)) + "\n";
  return data;
}

TEST(TwoWriters, NeitherLosesTheOthersSectionsNorTheRestOfTheFile) {
  test::TempDir dir;
  const QString path = dir.file("vantor.INI");
  const QByteArray whole = "[main]\nFlags=0\n" + largeSection();
  dir.write("vantor.INI", whole);
  for (int round = 0; round < kRounds; ++round) {
    const QString value = QString::number(round);
    QProcess first, second;
    first.start(PROFILE_WRITER, {path, "first", value});
    second.start(PROFILE_WRITER, {path, "second", value});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(second.waitForStarted());
    // Both start saving at once.
    for (QProcess *writer : {&first, &second}) {
      writer->write("go\n");
      writer->closeWriteChannel();
    }
    const QDeadlineTimer deadline(60000); // writers that hang fail here, not at ctest's limit
    while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
      ASSERT_FALSE(deadline.hasExpired()) << "round " << round << ": a writer did not end";
      const QByteArray now = contents(path);
      ASSERT_TRUE(now.startsWith(whole)) << "round " << round << ": " << now.size() << " bytes";
      for (QProcess *writer : {&first, &second})
        if (writer->state() != QProcess::NotRunning)
          writer->waitForFinished(1);
    }
    for (QProcess *writer : {&first, &second}) {
      ASSERT_EQ(writer->exitStatus(), QProcess::NormalExit);
      ASSERT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }
    ASSERT_TRUE(contents(path).startsWith(whole)) << "round " << round;
    const ProfileFile ini(path, ProfileFile::Mode::Batch); // one load for all the reads
    for (const QString name : {"first", "second"})
      for (const QString window : {"main", "setup", "about"})
        for (int key = 0; key < 20; ++key)
          ASSERT_EQ(ini.readString(name + u'.' + window, QStringLiteral("key%1").arg(key), {}),
                    value + QStringLiteral("-%1").arg(key))
              << name.toStdString() << '.' << window.toStdString() << " round " << round;
  }
}

} // namespace
} // namespace vantor::platform
