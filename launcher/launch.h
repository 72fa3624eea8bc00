#pragma once

#include "launcher/catalogue.h"
#include "platform/folderlock.h"
#include "platform/process.h"
#include "platform/workermailbox.h"
#include "settings/emulatorswitches.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace vantor {

class TFileListBox;

// What a launch needs of the zip component.
class ArchiveUnpacker {
public:
  struct Listing {
    int entries = 0;
    bool reported = false; // the reader has already told the user what was wrong
  };
  struct Outcome {
    int written = 0;
    QStringList errors;     // what failed, one line each
    bool cancelled = false; // stopped because the progress handler said so
  };
  // Told as unpacking goes on how much of the total is done (bytes, or
  // entries when the headers give no sizes); returns false to stop it.
  using Progress = std::function<bool(qint64 done, qint64 total)>;

  virtual ~ArchiveUnpacker() = default;
  // Reads the archive's entry list; a broken archive raises a stream error.
  virtual Listing open(const QByteArray &nativePath) = 0;
  // Unpacks every entry of the archive last opened into `folder`, overwriting
  // and without the archive's own folder names; `progress` may be empty.
  // Runs on a worker thread: it touches nothing of the user interface, and
  // `progress` is called on that thread.
  virtual Outcome unpack(const QString &folder, const Progress &progress) = 0;
  // Unpacks only `entries` of another archive into `folder`, as unpack()
  // does; the archive opened last is still the one unpack() takes after.
  // Runs on the worker thread too.
  virtual Outcome unpackFrom(const QByteArray &nativePath, const QStringList &entries,
                             const QString &folder, const Progress &progress) = 0;
};

// Files a split set takes from another set's archive (its parent's or its
// BIOS's), unpacked before the set's own.
struct BorrowedFiles {
  QByteArray archive;  // native path
  QStringList entries; // as that archive names them
  QStringList names;   // as the set names them, one for each entry
};

// Starts a program with its arguments in a working folder and returns at
// once; `finished` is called from the event loop when it has ended. Returns
// why it could not be started, or nothing when it started.
using EmulatorStarter =
    std::function<QString(const QStringList &arguments, const QString &workingFolder,
                          std::function<void(const platform::RunResult &result)> finished)>;

// What a launch reads of the setup.
struct LaunchSetup {
  QString emulator;    // neoloc
  QString emulatorDir; // neodir, ending with the separator
  EmulatorSwitches switches;
  // Where games are unpacked when the emulator's folder cannot be written
  // (a system-wide install): a folder of the user's own.
  QString userScratchRoot = {};
  bool emulatorDirWritable = true;
};

// Everything decided before anything on disk is touched.
struct LaunchPlan {
  CatalogueEntry entry;
  QByteArray archive; // native path; empty when the archive is in neither folder
  QString scratch;
  QString workingFolder;
  QStringList arguments;
  std::vector<BorrowedFiles> borrowed = {};
};

// The plan for the selected entry; none when play does nothing (no emulator
// file, no emulator folder, nothing selected). The archive is looked for in
// the ROM folder first, then in the CD-ROM folder; relative paths mean the
// folder the program was started in.
std::optional<LaunchPlan> planLaunch(const Catalogue &catalogue, const LaunchSetup &setup);

// The per-user scratch folder for an emulator folder: one for each, so two
// emulators never share one.
QString userScratchFolder(const QString &userScratchRoot, const QString &emulatorDir);

// Plays a plan in steps driven by the event loop: unpack into the scratch
// folder on a worker thread, start the emulator there, and when it has ended
// remove the scratch folder and look for new screenshots. The emulator is
// started only on a complete extraction. The emulator's folder is held for
// the whole run, so two copies of the program never share a scratch folder.
class Launch final : public QObject {
  Q_OBJECT

public:
  struct Parts {
    ArchiveUnpacker &unpacker;
    EmulatorStarter startEmulator;
    TFileListBox &shots;
    std::function<void(const QString &text)> showStatus;
    // The emulator left new screenshots: `newest` indexes the shots list.
    std::function<void(int newest)> showNewScreenshot;
    // Points the screenshot list at the emulator's folder for shots, which the
    // emulator may have made during this run.
    std::function<void()> findShotsFolder = {};
    // The launch is over, whichever way it ended.
    std::function<void()> ended = {};
  };

  explicit Launch(Parts parts, QObject *parent = nullptr);
  // Stops an unpacking still under way and cleans up after it.
  ~Launch() override;

  // Begins playing `plan`. A failure before the unpacking starts (a broken
  // archive, a scratch folder that cannot be prepared) is raised to the
  // caller after everything is put back as it was; later failures are shown.
  void start(const LaunchPlan &plan);
  // Escape: stops the unpacking; a game already running is left alone.
  void cancel() { cancel_ = true; }
  // From start() to the end of the clean-up.
  bool busy() const { return busy_; }
  // The emulator is running.
  bool running() const { return running_; }

private:
  // What the worker has to say: a percentage, or how the unpacking ended.
  struct WorkerNews {
    QString status;
    std::optional<ArchiveUnpacker::Outcome> outcome;
    std::exception_ptr failure;
  };

  std::optional<QString> prepare();
  void unpackOnWorker();
  void takeNews(WorkerNews &&news);
  void unpacked(const ArchiveUnpacker::Outcome &outcome, const std::exception_ptr &failure);
  void startEmulator();
  void emulatorEnded();
  void prepareScratch();
  QString removeScratch();
  void finish(const QString &error);

  Parts p_;
  LaunchPlan plan_;
  platform::FolderLock lock_;
  std::thread worker_;
  platform::WorkerMailbox<WorkerNews> news_;
  std::atomic<bool> cancel_{false};
  int shotsBefore_ = 0;
  bool busy_ = false;
  bool running_ = false;
  bool ownsScratch_ = false;
};

} // namespace vantor
