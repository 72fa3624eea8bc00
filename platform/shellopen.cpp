#include "platform/shellopen.h"

#include "platform/errors.h"
#include "platform/usermessage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <utility>

namespace vantor::platform {
namespace {

bool isSchemeChar(QChar c, bool first) {
  const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  if (first)
    return letter;
  return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// The opener of the desktop: xdg-open where there is one, so its failure can
// be reported; otherwise Qt's own desktop services.
void desktopOpen(const QString &address) {
  const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!program.isEmpty()) {
    startOpener(program, address,
                [address](const QString &reason) { showError(cannotOpenText(address, reason)); });
    return;
  }
  if (!QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode)))
    throw Error(cannotOpenText(address, QStringLiteral("no program to open it is installed.")));
}

ShellOpener &opener() {
  static ShellOpener current;
  return current;
}

} // namespace

QString shellAddress(const QString &target) {
  const qsizetype colon = target.indexOf(u':');
  if (colon < 2)
    return target;
  for (qsizetype i = 0; i < colon; ++i) {
    if (!isSchemeChar(target[i], i == 0))
      return target;
  }
  if (!target.mid(colon + 1).startsWith(QStringLiteral("\\\\")))
    return target;
  return target.left(colon + 1) + QStringLiteral("//") + target.mid(colon + 3);
}

QString cannotOpenText(const QString &address, const QString &reason) {
  return QStringLiteral("Cannot open \"%1\": %2").arg(address, reason);
}

void shellOpen(const QString &target) {
  const QString address = shellAddress(target);
  if (opener())
    opener()(address);
  else
    desktopOpen(address);
}

ScopedShellOpener::ScopedShellOpener(ShellOpener replacement)
    : previous_(std::exchange(opener(), std::move(replacement))) {}

ScopedShellOpener::~ScopedShellOpener() {
  opener() = std::move(previous_);
}

QProcess *startOpener(const QString &program, const QString &address,
                      std::function<void(const QString &reason)> failed) {
  // Owned by the application so one still running at exit is cleaned up.
  auto *process = new QProcess(QCoreApplication::instance());
  process->setProgram(program);
  process->setArguments({address});
  // The opener's own chatter is not ours to show.
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, failed](QProcess::ProcessError error) {
                     // A crash or a failed wait ends in `finished`, reported there.
                     if (error != QProcess::FailedToStart)
                       return;
                     if (failed)
                       failed(process->errorString());
                     process->deleteLater();
                   });
  QObject::connect(
      process, &QProcess::finished, process,
      [process, failed](int exitCode, QProcess::ExitStatus status) {
        if (failed && status == QProcess::CrashExit)
          failed(QStringLiteral("the program that opens it stopped unexpectedly."));
        else if (failed && exitCode != 0)
          failed(QStringLiteral("the program that opens it failed (exit code %1).").arg(exitCode));
        process->deleteLater();
      });
  process->start();
  return process;
}

} // namespace vantor::platform
