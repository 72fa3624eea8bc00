#pragma once

#include "controls/form.h"
#include "controls/windowdrag.h"

namespace vantor {

class TFormStorage;
class TImage;
class TPicBtn;
class TShadowLabel;
class TURLLabel;

// The about window: the artwork, the makers and the version, links to the
// home pages and the mail address, and an exit button. It keeps its
// position in the settings file.
class Tfrmabout final : public TForm {
  Q_OBJECT

public:
  explicit Tfrmabout(QWidget *parent = nullptr);
  ~Tfrmabout() override;

  void exitaboutCommand(QObject *sender);
  void Image1MouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                       int y);
  void Image1MouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
  void Image1MouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y);

  TImage *Image1;
  TURLLabel *URLLabel1;
  TURLLabel *URLLabel2;
  TURLLabel *URLLabel3;
  TShadowLabel *ShadowLabel1;
  TShadowLabel *ShadowLabel2;
  TPicBtn *exitabout;
  TFormStorage *FormStorage1;

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  void buildLinks();
  void buildExit();

  WindowDrag drag_;
};

} // namespace vantor
