#pragma once

#include "launcher/catalogue.h"
#include "platform/process.h"
#include "settings/emulatorswitches.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace vantor {

class TFileListBox;

// What a launch needs of the zip component.
class ArchiveUnpacker {
public:
  struct Outcome {
    int written = 0;
    QStringList errors;     // what failed, one line each
    bool cancelled = false; // stopped because the progress handler said so
  };
  // Told as unpacking goes on how much of the total is done (bytes, or
  // entries when the headers give no sizes); returns false to stop it.
  using Progress = std::function<bool(qint64 done, qint64 total)>;

  virtual ~ArchiveUnpacker() = default;
  // Reads the archive's entry list and returns the number of entries; a
  // broken archive raises a stream error.
  virtual int open(const QByteArray &nativePath) = 0;
  // Unpacks every entry of the archive last opened into `folder`, overwriting
  // and without the archive's own folder names; `progress` may be empty.
  virtual Outcome unpack(const QString &folder, const Progress &progress) = 0;
};

// Starts a program with its arguments in a working folder and waits for it.
using ProcessRunner =
    std::function<platform::RunResult(const QStringList &arguments, const QString &workingFolder)>;

// What a launch reads of the setup.
struct LaunchSetup {
  QString emulator;    // neoloc
  QString emulatorDir; // neodir, ending with the separator
  EmulatorSwitches switches;
};

// Everything decided before anything on disk is touched.
struct LaunchPlan {
  CatalogueEntry entry;
  QByteArray archive; // native path; empty when the archive is in neither folder
  QString scratch;
  QString workingFolder;
  QStringList arguments;
};

// The plan for the selected entry; none when play does nothing (no emulator
// file, no emulator folder, nothing selected). The archive is looked for in
// the ROM folder first, then in the CD-ROM folder; relative paths mean the
// folder the program was started in.
std::optional<LaunchPlan> planLaunch(const Catalogue &catalogue, const LaunchSetup &setup);

// Runs a plan: unpack into the scratch folder, start the emulator there and
// wait, remove the scratch folder, then look for new screenshots. The
// emulator is started only on a complete extraction.
class Launch final {
public:
  struct Parts {
    ArchiveUnpacker &unpacker;
    ProcessRunner run;
    TFileListBox &shots;
    // Shows a status text; the caller paints it before the long step that follows.
    std::function<void(const QString &text)> showStatus;
    // The emulator left new screenshots: `newest` indexes the shots list.
    std::function<void(int newest)> showNewScreenshot;
    // Called now and then while unpacking, so the window can repaint;
    // returns true when the user asked to stop. May be empty.
    std::function<bool()> pollCancel = {};
    // Points the screenshot list at the emulator's folder for shots, which the
    // emulator may have made during this run.
    std::function<void()> findShotsFolder = {};
  };

  explicit Launch(Parts parts) : p_(std::move(parts)) {}

  // Returns whether the emulator ran. A cancelled unpacking starts nothing
  // and shows nothing. Errors are shown; a broken archive or
  // a scratch folder that cannot be prepared ends the launch with an error
  // raised to the caller, before anything is started.
  bool run(const LaunchPlan &plan);

private:
  bool unpack(const LaunchPlan &plan);
  void prepareScratch(const QString &scratch);
  bool startEmulator(const LaunchPlan &plan);
  void removeScratch(const QString &scratch);

  Parts p_;
};

} // namespace vantor
