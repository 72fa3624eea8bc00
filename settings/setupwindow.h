#pragma once

#include "controls/form.h"
#include "controls/valueslider.h"
#include "controls/windowdrag.h"
#include "settings/emulatorswitches.h"
#include "settings/fileedits.h"

#include <QWidget>

namespace vantor {

class CatalogueHost;
class TBackground;
class TPicBtn;
class TEdit;
class TFormStorage;
class TRadioGroup;
class TShadowLabel;

// The setup window: the launcher's settings live in its controls, and a change
// of a path takes effect in the launcher at once through `CatalogueHost`.
class TFrmsetup final : public TForm {
  Q_OBJECT

public:
  explicit TFrmsetup(QWidget *parent = nullptr);
  ~TFrmsetup() override;

  void setHost(CatalogueHost *host) { host_ = host; }

  // The emulator's folder, ending with the separator; empty until `neoloc`
  // names an existing file.
  const QString &neodir() const { return neodir_; }

  // The switches the emulator is started with, read from the controls.
  EmulatorSwitches switches() const;
  // The path fields' texts as paths: a chooser quotes a path with a blank,
  // and the quotes are no part of the name.
  QString emulatorPath() const;
  QString romFolder() const;
  QString cdromFolder() const;
  QString snapsFolder() const;
  // The game list chosen in `datloc`; empty: the first one in the ROM folder.
  QString gameListFile() const;

  // Change handlers, bound to the path fields.
  void neolocChange(QObject *sender);
  void romlocChange(QObject *sender);
  void cdromlocChange(QObject *sender);
  void datlocChange(QObject *sender);
  void ExitsetupClick(QObject *sender);
  void Background1MouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                            int x, int y);
  void Background1MouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
  void Background1MouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                          int x, int y);

  // The restore at start-up: errors raised by the change handlers it runs
  // are not shown.
  void restoreQuietly();

  TFilenameEdit *neoloc;
  TDirectoryEdit *romloc;
  TDirectoryEdit *cdromloc;
  TDirectoryEdit *Snapsloc;
  TFilenameEdit *datloc;
  TRadioGroup *scanlines;
  TRadioGroup *vsync;
  TRadioGroup *Joystick;
  TRadioGroup *vga;
  TRadioGroup *noanal;
  TRadioGroup *modex;
  TValueSlider *frameskip;
  TEdit *addcmds;
  TPicBtn *exitsetup;
  TBackground *Background1;
  TFormStorage *FormStorage1;
  // Says where to start while the emulator or the ROM folder is not chosen.
  TShadowLabel *pathsHint;

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  void buildControls();
  void updatePathsHint();
  // Runs a handler step that hands a path to the main window; its error ends
  // the handler and is shown, as any handler's error is.
  template <typename Step> void guarded(Step step);
  WindowDrag drag_;
  bool quietErrors_ = false;

  CatalogueHost *host_ = nullptr;
  QString neodir_;
};

// `neoloc` cut after its last separator (or drive colon on Windows).
QString emulatorFolderOf(const QString &emulatorPath);

} // namespace vantor
