#pragma once

#include "platform/events.h"
#include "settings/windowplacement.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace vantor {

class TForm;
namespace platform {
class ProfileFile;
}

// Saves and restores where its window stands, and optionally its state, in
// one section of the settings file. It hooks itself into the window's show,
// close-request and destroy events, so a window that owns one needs no code
// of its own to keep its place between runs.
class TFormPlacement : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Active READ active WRITE setActive)
  Q_PROPERTY(QString IniFileName READ iniFileName WRITE setIniFileName)
  Q_PROPERTY(QString IniSection READ iniSection WRITE setIniSection)
  Q_PROPERTY(PlacementOptions Options READ options WRITE setOptions)
  Q_PROPERTY(bool UseRegistry READ useRegistry WRITE setUseRegistry)

public:
  enum PlacementOption { fpState = 0x1, fpPosition = 0x2, fpActiveControl = 0x4 };
  Q_DECLARE_FLAGS(PlacementOptions, PlacementOption)
  Q_FLAG(PlacementOptions)

  // Hooks the window's event handlers as they are now: create the component
  // after the window has assigned its own.
  explicit TFormPlacement(TForm *form);
  ~TFormPlacement() override;

  bool active() const { return active_; }
  void setActive(bool active) { active_ = active; }
  QString iniFileName() const { return iniFileName_; }
  void setIniFileName(const QString &name) { iniFileName_ = name; }
  QString iniSection() const { return iniSection_; }
  void setIniSection(const QString &section) { iniSection_ = section; }
  PlacementOptions options() const { return options_; }
  void setOptions(PlacementOptions options) { options_ = options; }
  // While held, the window's place belongs to something else (the cabinet's
  // full screen): it is neither read, kept on the screen nor written, so the
  // place the user gave it on the desktop survives. The rest is stored.
  bool placeHeld() const { return placeHeld_; }
  void setPlaceHeld(bool held) { placeHeld_ = held; }
  // Kept for the file's sake; there is no registry here.
  bool useRegistry() const { return useRegistry_; }
  void setUseRegistry(bool use) { useRegistry_ = use; }

  // Called at the end of every save and every restore.
  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  void LoadWindowSettings();
  // Throws InOutError when the file cannot be written; the saved flag then stays clear.
  void StoreWindowSettings();

  // The file actually used: an empty name means the default settings file,
  // a name without a folder lies in the settings folder.
  QString resolvedIniFileName() const;
  // The section actually used: an empty one means the window's class name.
  QString resolvedIniSection() const;

  bool isRestored() const { return restored_; }
  bool isSaved() const { return saved_; }

  TForm *form() const { return form_; }
  // Open during one save or restore only.
  platform::ProfileFile *iniFile() const { return ini_.get(); }

protected:
  // What a derived storage saves and restores beside the placement.
  virtual void saveExtra() {}
  virtual void restoreExtra() {}
  // Writes a text value, wrapping one enclosed in quotes in one more pair.
  void writeProfileText(const QString &section, const QString &key, const QString &value);

private:
  void installHooks();
  void writePlacement();
  void readPosition();
  void readState();
  void restoreActiveControl();
  // Runs a save or restore step with the file open; closes it whatever happens.
  template <typename Body> void withIniFile(Body body);

  TForm *form_;
  WindowPlacer placer_;
  std::unique_ptr<platform::ProfileFile> ini_;
  bool active_ = true;
  QString iniFileName_;
  QString iniSection_;
  PlacementOptions options_ = PlacementOptions(fpState | fpPosition);
  bool useRegistry_ = false;
  bool placeHeld_ = false;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFormPlacement::PlacementOptions)

} // namespace vantor
