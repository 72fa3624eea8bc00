#include "platform/process.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace vantor::platform {
namespace {

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

// The program name: quotes group, nothing is escaped.
qsizetype takeProgramName(const QString &line, QString &name) {
  qsizetype pos = 0;
  bool inQuotes = false;
  while (pos < line.size()) {
    const QChar c = line[pos];
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && isBlank(c)) {
      break;
    } else {
      name += c;
    }
    ++pos;
  }
  return pos;
}

qsizetype takeArgument(const QString &line, qsizetype pos, QString &arg) {
  bool inQuotes = false;
  for (;;) {
    qsizetype backslashes = 0;
    while (pos < line.size() && line[pos] == u'\\') {
      ++backslashes;
      ++pos;
    }
    bool copy = true;
    if (pos < line.size() && line[pos] == u'"') {
      if (backslashes % 2 == 0) {
        if (inQuotes && pos + 1 < line.size() && line[pos + 1] == u'"')
          ++pos; // "" inside quotes: one literal quote, still quoted
        else {
          copy = false;
          inQuotes = !inQuotes;
        }
      }
      backslashes /= 2;
    }
    arg += QString(backslashes, u'\\');
    if (pos >= line.size() || (!inQuotes && isBlank(line[pos])))
      return pos;
    if (copy)
      arg += line[pos];
    ++pos;
  }
}

// The child changes folder before it starts the program, so a relative
// program path is resolved against ours first.
QByteArray programPath(const QString &program) {
  if (program.contains(u'/') && QDir::isRelativePath(program))
    return QFile::encodeName(QDir::current().absoluteFilePath(program));
  return QFile::encodeName(program);
}

class SpawnSetup final {
public:
  explicit SpawnSetup(const QString &workingFolder) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
    if (!workingFolder.isEmpty()) {
      folder_ = QFile::encodeName(workingFolder);
      status_ = posix_spawn_file_actions_addchdir_np(&actions_, folder_.constData());
    }
    // The child starts with no blocked signals and a default broken-pipe action.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup &) = delete;
  SpawnSetup &operator=(const SpawnSetup &) = delete;

  int status() const { return status_; }
  const posix_spawn_file_actions_t *actions() const { return &actions_; }
  const posix_spawnattr_t *attributes() const { return &attributes_; }

private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  QByteArray folder_;
  int status_ = 0;
};

} // namespace

QString errorText(int code) {
  return QString::fromLocal8Bit(std::strerror(code));
}

QStringList splitArguments(const QString &text, qsizetype from) {
  QStringList args;
  qsizetype pos = from;
  for (;;) {
    while (pos < text.size() && isBlank(text[pos]))
      ++pos;
    if (pos >= text.size())
      return args;
    QString arg;
    pos = takeArgument(text, pos, arg);
    args << arg;
  }
}

QStringList splitCommandLine(const QString &commandLine) {
  if (commandLine.isEmpty())
    return {};
  QString program;
  const qsizetype pos = takeProgramName(commandLine, program);
  return QStringList{program} + splitArguments(commandLine, pos);
}

StartResult startProcess(const QStringList &arguments, const QString &workingFolder) {
  StartResult result;
  if (arguments.isEmpty() || arguments.first().isEmpty()) {
    result.error = errorText(ENOENT);
    return result;
  }
  std::vector<QByteArray> encoded;
  encoded.reserve(size_t(arguments.size()));
  for (const QString &arg : arguments)
    encoded.push_back(QFile::encodeName(arg));
  std::vector<char *> argv;
  for (QByteArray &arg : encoded)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  SpawnSetup setup(workingFolder);
  if (setup.status() != 0) {
    result.error = errorText(setup.status());
    return result;
  }
  const QByteArray program = programPath(arguments.first());
  const bool searchPath = !arguments.first().contains(u'/');
  pid_t pid = 0;
  const int rc = searchPath ? posix_spawnp(&pid, program.constData(), setup.actions(),
                                           setup.attributes(), argv.data(), environ)
                            : posix_spawn(&pid, program.constData(), setup.actions(),
                                          setup.attributes(), argv.data(), environ);
  if (rc != 0) {
    result.error = errorText(rc);
    return result;
  }
  result.pid = pid;
  return result;
}

RunResult endedProcess(int waitStatus) {
  RunResult result;
  result.started = true;
  if (WIFEXITED(waitStatus))
    result.exitCode = WEXITSTATUS(waitStatus);
  else if (WIFSIGNALED(waitStatus))
    result.signal = WTERMSIG(waitStatus);
  return result;
}

RunResult runAndWait(const QStringList &arguments, const QString &workingFolder) {
  const StartResult started = startProcess(arguments, workingFolder);
  if (started.pid <= 0)
    return RunResult{false, -1, 0, started.error};
  int status = 0;
  while (waitpid(started.pid, &status, 0) < 0) {
    if (errno != EINTR)
      return RunResult{true, -1, 0, errorText(errno)};
  }
  return endedProcess(status);
}

RunResult winExecAndWait(const QString &commandLine, const QString &workingFolder) {
  return runAndWait(splitCommandLine(commandLine), workingFolder);
}

} // namespace vantor::platform
