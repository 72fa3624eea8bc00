#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vantor {
namespace {

// The options Qt's application objects and the X11 platform take out of the
// command line; they are read here only so that they are not refused.
constexpr const char *kQtOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "geometry",
                                               "qwindowicon",
                                               "icon",
                                               "qwindowtitle",
                                               "title",
                                               "session",
                                               "style",
                                               "stylesheet",
                                               "display",
                                               "name",
                                               "visual",
                                               "qmljsdebugger"};
constexpr const char *kQtFlags[] = {"reverse", "testability", "widgetcount", "nograb",
                                    "dograb",  "qdevel",      "qdebug"};

// Help and version options are added by hand so that parsing never exits
// the process: the caller decides what to print and how to leave.
struct Parser {
  QCommandLineParser parser;
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Show the version and exit.")};
  QCommandLineOption config{QStringLiteral("config"),
                            QStringLiteral("Read and write the settings in <file>."),
                            QStringLiteral("file")};
  QCommandLineOption dat{
      QStringLiteral("dat"),
      QStringLiteral("Take the games' titles and files from the game list <file>."),
      QStringLiteral("file")};
  QCommandLineOption cabinet{
      QStringLiteral("cabinet"),
      QStringLiteral("Fill the screen, for an arcade cabinet; quitting leaves it.")};

  Parser() {
    parser.setApplicationDescription(
        QStringLiteral("Picks a game from the ROM and CD-ROM folders and starts the emulator.\n"
                       "Qt's own options (-platform, -style, -reverse, ...) work as usual."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // Qt's options are words after a single dash (-platform, -style).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(config);
    parser.addOption(dat);
    parser.addOption(cabinet);
    for (const char *name : kQtOptionsWithValue)
      addHidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char *name : kQtFlags)
      addHidden(QCommandLineOption(QString::fromLatin1(name)));
  }

  void addHidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }

  // Qt's help names the executable only once an application object exists.
  QString helpText(const QString &program) const {
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 [options]").arg(program) + text.mid(text.indexOf(u'\n'));
  }
};

QString versionText() {
  return QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() +
         u'\n';
}

} // namespace

void setApplicationIdentity() {
  QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
}

CommandLine parseCommandLine(const QStringList &arguments) {
  Parser p;
  CommandLine result;
  const QString program = QFileInfo(arguments.value(0)).fileName();
  const auto fail = [&](const QString &message) {
    result.run = false;
    result.exitCode = kUsageExitCode;
    result.error = QCoreApplication::applicationName().toLower() + QStringLiteral(": ") + message +
                   QStringLiteral("\nTry '") + program +
                   QStringLiteral(" --help' for more information.\n");
    return result;
  };
  if (!p.parser.parse(arguments))
    return fail(p.parser.errorText());
  if (p.parser.isSet(p.help)) {
    result.run = false;
    result.output = p.helpText(program);
    return result;
  }
  if (p.parser.isSet(p.version)) {
    result.run = false;
    result.output = versionText();
    return result;
  }
  if (!p.parser.positionalArguments().isEmpty())
    return fail(QStringLiteral("Unexpected argument '%1'.")
                    .arg(p.parser.positionalArguments().constFirst()));
  if (p.parser.isSet(p.config)) {
    const QString file = p.parser.value(p.config);
    if (file.isEmpty())
      return fail(QStringLiteral("The settings file name is empty."));
    if (QFileInfo(file).isDir())
      return fail(QStringLiteral("'%1' is a folder, not a settings file.").arg(file));
    // Against the folder the program was started in, once and for all.
    result.configFile = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
  }
  if (p.parser.isSet(p.dat)) {
    const QString file = p.parser.value(p.dat);
    if (file.isEmpty())
      return fail(QStringLiteral("The game list file name is empty."));
    result.gameList = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
  }
  result.cabinet = p.parser.isSet(p.cabinet);
  return result;
}

} // namespace vantor
