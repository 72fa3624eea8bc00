#pragma once

#include "controls/form.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace vantor {

class CatalogueHost;
class TEdit;
class TRadioGroup;

// Frame-skip choice until the skinned slider takes its place: `Value` in 0..4.
class FrameSkipField final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Value READ value WRITE setValue)

public:
  explicit FrameSkipField(QWidget *parent = nullptr);
  int value() const;
  void setValue(int value);

private:
  QSlider *slider_;
};

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

  // Change handlers, bound to the path fields.
  void neolocChange(QObject *sender);
  void romlocChange(QObject *sender);
  void cdromlocChange(QObject *sender);
  void ExitsetupClick(QObject *sender);

  TEdit *neoloc;
  TEdit *romloc;
  TEdit *cdromloc;
  TEdit *Snapsloc;
  TRadioGroup *scanlines;
  TRadioGroup *vsync;
  TRadioGroup *Joystick;
  TRadioGroup *vga;
  TRadioGroup *noanal;
  TRadioGroup *modex;
  FrameSkipField *frameskip;
  TEdit *addcmds;
  QPushButton *exitsetup;

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  void buildControls();
  // Runs a handler step that hands a path to the main window; its error ends
  // the handler and is shown, as any handler's error is.
  template <typename Step> void guarded(Step step);

  CatalogueHost *host_ = nullptr;
  QString neodir_;
};

// `neoloc` cut after its last separator (or drive colon on Windows).
QString emulatorFolderOf(const QString &emulatorPath);

} // namespace vantor
