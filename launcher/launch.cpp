#include "launcher/launch.h"

#include "launcher/commandline.h"
#include "launcher/filelistbox.h"
#include "launcher/unpackprogress.h"
#include "platform/deletetree.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/usermessage.h"

#include <cerrno>
#include <sys/stat.h>

namespace vantor {
namespace {

// A long list would not fit on the screen; the first lines say enough.
constexpr int kShownErrors = 20;

QString errorList(const QString &archive, const QStringList &errors) {
  QString text = QStringLiteral("Unpacking %1 failed:").arg(archive);
  for (int i = 0; i < errors.size() && i < kShownErrors; ++i)
    text += u'\n' + errors[i];
  if (errors.size() > kShownErrors)
    text += QStringLiteral("\n... and %1 more").arg(errors.size() - kShownErrors);
  return text;
}

QString withSeparator(QString folder) {
  if (!platform::endsWithSeparator(folder))
    folder += platform::pathSeparator();
  return folder;
}

} // namespace

std::optional<LaunchPlan> planLaunch(const Catalogue &catalogue, const LaunchSetup &setup) {
  const CatalogueEntry *entry = catalogue.selected();
  if (!entry || !platform::fileExists(setup.emulator) || setup.emulatorDir.isEmpty())
    return std::nullopt;
  LaunchPlan plan;
  plan.entry = *entry;
  for (const QString &folder : {catalogue.romFolder(), catalogue.cdromFolder()}) {
    if (folder.isEmpty())
      continue;
    const QByteArray path = platform::joinNative(platform::absolutePath(folder), entry->fileName);
    if (platform::nativeFileExists(path)) {
      plan.archive = path;
      break;
    }
  }
  plan.workingFolder = withSeparator(platform::absolutePath(setup.emulatorDir));
  plan.scratch = scratchFolder(plan.workingFolder);
  plan.arguments =
      emulatorArguments(platform::absolutePath(setup.emulator), plan.scratch, setup.switches);
  return plan;
}

bool Launch::run(const LaunchPlan &plan) {
  const int shotsBefore = p_.shots.count();
  p_.showStatus(kUnzippingStatus);
  const bool ran = unpack(plan) && startEmulator(plan);
  removeScratch(plan.scratch);
  p_.showStatus(plan.entry.romName());
  if (!ran)
    return false;
  if (p_.findShotsFolder)
    p_.findShotsFolder();
  p_.shots.update();
  const int shots = p_.shots.count();
  if (shots != shotsBefore && shots > 0)
    p_.showNewScreenshot(shots - 1);
  return true;
}

bool Launch::unpack(const LaunchPlan &plan) {
  if (plan.archive.isEmpty()) {
    showError(QStringLiteral("%1 is in neither the ROM folder nor the CD-ROM folder")
                  .arg(plan.entry.name()));
    return false;
  }
  const QString noFiles = QStringLiteral("Error - no files in the Zip file");
  UnpackProgress progress(p_.showStatus, p_.pollCancel);
  if (p_.unpacker.open(plan.archive) == 0) {
    showError(noFiles);
    return false;
  }
  prepareScratch(plan.scratch);
  const ArchiveUnpacker::Outcome outcome =
      p_.unpacker.unpack(plan.scratch, [&progress](qint64 done, qint64 total) {
        return progress.report(done, total);
      });
  // The user stopped it: what the library said about the stop is no news.
  if (outcome.cancelled)
    return false;
  if (!outcome.errors.isEmpty()) {
    showError(errorList(plan.entry.name(), outcome.errors));
    return false;
  }
  if (outcome.written == 0) {
    showError(noFiles);
    return false;
  }
  return true;
}

// The scratch folder is the launcher's own: whatever an earlier run left in
// it (a crash leaves the library's half-written files) goes first, so a game
// never runs with another's files. A link there is never followed.
void Launch::prepareScratch(const QString &scratch) {
  const QByteArray native = platform::nativePath(scratch);
  struct stat st {};
  if (lstat(native.constData(), &st) != 0) {
    if (errno != ENOENT || mkdir(native.constData(), 0777) != 0)
      throw InOutError(QStringLiteral("I/O error: cannot create folder %1").arg(scratch));
    return;
  }
  if (S_ISLNK(st.st_mode))
    throw InOutError(QStringLiteral("I/O error: %1 is a link, not a folder").arg(scratch));
  if (!S_ISDIR(st.st_mode))
    throw InOutError(QStringLiteral("I/O error: %1 is not a folder").arg(scratch));
  if (!platform::emptyFolder(scratch))
    throw InOutError(QStringLiteral("I/O error: cannot empty folder %1").arg(scratch));
}

bool Launch::startEmulator(const LaunchPlan &plan) {
  p_.showStatus(QStringLiteral("Running NEORAGE.."));
  const platform::RunResult result = p_.run(plan.arguments, plan.workingFolder);
  if (!result.started) {
    showError(QStringLiteral("Unable to start %1: %2").arg(plan.arguments.value(0), result.error));
    return false;
  }
  return true;
}

void Launch::removeScratch(const QString &scratch) {
  if (platform::deleteTree(scratch, true))
    return;
  struct stat st {};
  if (lstat(platform::nativePath(scratch).constData(), &st) == 0)
    showError(QStringLiteral("Could not remove the folder %1").arg(scratch));
}

} // namespace vantor
