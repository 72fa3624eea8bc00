#pragma once

#include <QString>
#include <QStringList>

namespace vantor {

// What the command line asks for: run the program, or print something and
// leave with an exit code.
struct CommandLine {
  bool run = true;
  int exitCode = 0;
  QString output;     // for standard output
  QString error;      // for standard error
  QString configFile; // absolute; empty for the default settings file
  QString gameList;   // absolute; empty: the first game list in the ROM folder
};

// Exit code for a command line the program does not understand.
inline constexpr int kUsageExitCode = 2;

// The program's name and version, as the command line and the windows show them.
void setApplicationIdentity();

// Reads the arguments (the program's name first). Needs a QCoreApplication
// for the usage text.
CommandLine parseCommandLine(const QStringList &arguments);

// Whether the arguments only ask for help or the version, which need no
// display.
bool asksForTextOnly(const QStringList &arguments);

} // namespace vantor
