#include "launcher/launch.h"

#include "launcher/commandline.h"
#include "launcher/filelistbox.h"
#include "launcher/splitset.h"
#include "launcher/unpackprogress.h"
#include "platform/deletetree.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPointer>
#include <QScopeGuard>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vantor {
namespace {

// A long list would not fit on the screen; the first lines say enough.
constexpr int kShownErrors = 20;

const QString kNoFiles = QStringLiteral("Error - no files in the Zip file");

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

bool exists(const QString &path) {
  struct stat st {};
  return lstat(platform::nativePath(path).constData(), &st) == 0;
}

} // namespace

QString userScratchFolder(const QString &userScratchRoot, const QString &emulatorDir) {
  const QByteArray key =
      QCryptographicHash::hash(emulatorDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
  return scratchFolder(
      withSeparator(platform::joinPath(userScratchRoot, QString::fromLatin1(key))));
}

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
  plan.scratch = setup.emulatorDirWritable || setup.userScratchRoot.isEmpty()
                     ? scratchFolder(plan.workingFolder)
                     : userScratchFolder(setup.userScratchRoot, plan.workingFolder);
  plan.arguments =
      emulatorArguments(platform::absolutePath(setup.emulator), plan.scratch, setup.switches);
  return plan;
}

Launch::Launch(Parts parts, QObject *parent)
    : QObject(parent), p_(std::move(parts)),
      news_(this, [this](WorkerNews &&news) { takeNews(std::move(news)); }) {}

Launch::~Launch() {
  cancel_ = true;
  if (worker_.joinable())
    worker_.join();
  if (busy_ && !running_)
    removeScratch();
}

void Launch::start(const LaunchPlan &plan) {
  if (busy_)
    return;
  plan_ = plan;
  busy_ = true;
  running_ = false;
  cancel_ = false;
  shotsBefore_ = p_.shots.count();
  p_.showStatus(kUnzippingStatus);
  // Whatever is raised before the worker starts finds everything put back.
  auto undo = qScopeGuard([this] { finish({}); });
  if (const std::optional<QString> refusal = prepare()) {
    undo.dismiss();
    return finish(*refusal);
  }
  undo.dismiss();
  unpackOnWorker();
}

// Holds the emulator's folder, reads the archive and makes the scratch
// folder ready. Nothing when the launch goes on, else why it cannot (empty
// when the user has been told already).
std::optional<QString> Launch::prepare() {
  QString error;
  if (!lock_.tryLock(plan_.workingFolder, &error) && error.isEmpty())
    return QStringLiteral("A game is already running from %1")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(plan_.workingFolder)));
  if (plan_.archive.isEmpty())
    return QStringLiteral("%1 is in neither the ROM folder nor the CD-ROM folder")
        .arg(plan_.entry.name());
  const ArchiveUnpacker::Listing listing = p_.unpacker.open(plan_.archive);
  if (listing.entries == 0)
    return listing.reported ? QString() : kNoFiles;
  prepareScratch();
  return std::nullopt;
}

void Launch::unpackOnWorker() {
  news_.clear();
  // Percentages are worked out on the worker and shown by the window.
  auto show = [this](const QString &text) { news_.post({text, std::nullopt, nullptr}); };
  worker_ = std::thread([this, show] {
    ArchiveUnpacker::Outcome outcome;
    std::exception_ptr failure;
    // Nothing may escape a worker thread: a failure is carried home.
    try {
      outcome = unpackBorrowed(p_.unpacker, plan_.borrowed, plan_.scratch,
                               [this](qint64, qint64) { return !cancel_.load(); });
      if (!outcome.cancelled && outcome.errors.isEmpty()) {
        UnpackProgress progress(show);
        outcome = p_.unpacker.unpack(plan_.scratch, [this, &progress](qint64 done, qint64 total) {
          progress.report(done, total);
          return !cancel_.load();
        });
      }
    } catch (...) {
      failure = std::current_exception();
    }
    news_.post({QString(), std::move(outcome), failure});
  });
}

void Launch::takeNews(WorkerNews &&news) {
  if (news.outcome)
    unpacked(*news.outcome, news.failure);
  else if (busy_ && !running_)
    p_.showStatus(news.status);
}

void Launch::unpacked(const ArchiveUnpacker::Outcome &outcome, const std::exception_ptr &failure) {
  if (worker_.joinable())
    worker_.join();
  if (failure) {
    finish({});
    try {
      std::rethrow_exception(failure);
    } catch (...) {
      reportHandlerException();
    }
    return;
  }
  // The user stopped it: what the library said about the stop is no news.
  if (outcome.cancelled || cancel_)
    return finish({});
  if (!outcome.errors.isEmpty())
    return finish(errorList(plan_.entry.name(), outcome.errors));
  if (outcome.written == 0)
    return finish(kNoFiles);
  startEmulator();
}

void Launch::startEmulator() {
  p_.showStatus(QStringLiteral("Running NEORAGE.."));
  running_ = true;
  QPointer<Launch> self(this);
  const QString error =
      p_.startEmulator(plan_.arguments, plan_.workingFolder, [self](const platform::RunResult &) {
        if (self)
          self->emulatorEnded();
      });
  if (!error.isNull()) {
    running_ = false;
    finish(QStringLiteral("Unable to start %1: %2").arg(plan_.arguments.value(0), error));
  }
}

void Launch::emulatorEnded() {
  running_ = false;
  finish({});
  if (p_.findShotsFolder)
    p_.findShotsFolder();
  p_.shots.update();
  const int shots = p_.shots.count();
  if (shots != shotsBefore_ && shots > 0)
    p_.showNewScreenshot(shots - 1);
}

// The scratch folder is the launcher's own: whatever an earlier run left in
// it (a crash leaves the library's half-written files) goes first, so a game
// never runs with another's files. A link there is never followed.
void Launch::prepareScratch() {
  const QString &scratch = plan_.scratch;
  const QByteArray native = platform::nativePath(scratch);
  struct stat st {};
  if (lstat(native.constData(), &st) != 0) {
    // The per-user folder's parents may not be there yet.
    const QString parent = QFileInfo(scratch).path();
    if (errno != ENOENT || !QDir().mkpath(parent) || mkdir(native.constData(), 0777) != 0)
      throw InOutError(QStringLiteral("I/O error: cannot create folder %1").arg(scratch));
    ownsScratch_ = true;
    return;
  }
  if (S_ISLNK(st.st_mode))
    throw InOutError(QStringLiteral("I/O error: %1 is a link, not a folder").arg(scratch));
  if (!S_ISDIR(st.st_mode))
    throw InOutError(QStringLiteral("I/O error: %1 is not a folder").arg(scratch));
  // We hold the emulator's folder, so what is left here is from a copy that
  // ended without cleaning up: it goes.
  if (!platform::emptyFolder(scratch))
    throw InOutError(QStringLiteral("I/O error: cannot empty folder %1").arg(scratch));
  ownsScratch_ = true;
}

// Removes what was unpacked; a scratch folder of the user's own goes with
// its parent when that is empty. A scratch folder this launch did not make
// ready (another copy's, a link) is left alone. Returns what failed.
QString Launch::removeScratch() {
  if (!ownsScratch_)
    return {};
  ownsScratch_ = false;
  const QString &scratch = plan_.scratch;
  if (!platform::deleteTree(scratch, true) && exists(scratch))
    return QStringLiteral("Could not remove the folder %1").arg(scratch);
  if (!scratch.startsWith(plan_.workingFolder))
    ::rmdir(platform::nativePath(QFileInfo(scratch).path()).constData());
  return {};
}

// Everything is put back (the scratch folder, the caption, the lock) before
// the box that says what went wrong, so the program is ready to play again
// whether or not the box is still open.
void Launch::finish(const QString &error) {
  if (!busy_)
    return;
  const QString removeError = removeScratch();
  lock_.unlock();
  busy_ = false;
  p_.showStatus(plan_.entry.romName());
  if (p_.ended)
    p_.ended();
  if (!error.isEmpty())
    showError(error);
  if (!removeError.isEmpty())
    showError(removeError);
}

} // namespace vantor
