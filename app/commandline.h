#pragma once

#include <QString>
#include <QStringList>

namespace vantor {

// What the command line asks for: run the program, or print something and
// leave with an exit code.
struct CommandLine {
  bool run = true;
  int exitCode = 0;
  QString output;       // for standard output
  QString error;        // for standard error
  QString configFile;   // absolute; empty for the default settings file
  QString gameList;     // absolute; empty: the one chosen in setup, or the ROM folder's first
  bool cabinet = false; // full screen, for an arcade cabinet
};

// Exit code for a command line the program does not understand.
inline constexpr int kUsageExitCode = 2;

// The program's name and version, as the command line and the windows show them.
void setApplicationIdentity();

// Reads the arguments (the program's name first) before any application
// object exists, so that help, the version and every mistake are answered
// without a display. Qt's own options are let through for the application
// object, which takes them out itself.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace vantor
