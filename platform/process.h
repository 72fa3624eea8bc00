#pragma once

#include <QString>
#include <QStringList>

namespace vantor::platform {

// The system's words for an error number.
QString errorText(int code);

// Splits a Windows-style command line into arguments the way the C runtime
// does: blanks (space, tab) separate; double quotes group blanks; 2n
// backslashes before a quote give n backslashes and the quote toggles
// quoting; 2n+1 backslashes before a quote give n backslashes and a literal
// quote; backslashes elsewhere are literal; "" inside quotes is a literal
// quote. The program name (first argument) only honours quotes, as there.
QStringList splitCommandLine(const QString &commandLine);

// The arguments in `text` from `from` on, by the same rules as every
// argument after the program name.
QStringList splitArguments(const QString &text, qsizetype from = 0);

struct RunResult {
  bool started = false; // false: the program could not be started
  int exitCode = -1;    // the child's exit status when it exited normally
  int signal = 0;       // the signal that ended it, 0 when it exited
  QString error;        // why it could not be started (system's text)

  bool exitedNormally() const { return started && signal == 0; }
};

// A program started without waiting: its process id, or why it could not
// be started.
struct StartResult {
  int pid = -1;
  QString error;
};

// Starts the program named by arguments[0] (searched along PATH when given
// without a path) with the remaining arguments, in `workingFolder` (empty:
// the current folder). The caller collects the child when it ends.
StartResult startProcess(const QStringList &arguments, const QString &workingFolder = {});

// The outcome of a child from its wait status.
RunResult endedProcess(int waitStatus);

// Starts the program the command line names (its first argument) with the
// remaining arguments, in `workingFolder` (empty: the current folder), and
// blocks until it ends; no events are processed meanwhile. A program given
// without a path is searched for along PATH. When it cannot be started
// nothing is waited for.
RunResult winExecAndWait(const QString &commandLine, const QString &workingFolder = {});

// The same with the arguments already split; argv[0] is the program.
RunResult runAndWait(const QStringList &arguments, const QString &workingFolder = {});

} // namespace vantor::platform
