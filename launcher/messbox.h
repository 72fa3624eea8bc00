#pragma once

#include "controls/form.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantor {

class TFormShaper;
class TImage;
class TPicBtn;
class TShadowLabel;

// Where a window of `size` goes to sit centred on `screen`.
QPoint centredOn(const QRect &screen, QSize size);

// What a key does in the confirmation box.
enum class BoxKey {
  None,        // not the box's
  Yes,         // Y
  No,          // N, Escape
  OtherButton, // Tab, Backtab and the arrows: the focus to the other answer
  Focused,     // Space, Enter: the answer with the focus
};
BoxKey boxKeyOf(int key, Qt::KeyboardModifiers modifiers);

// The shaped box that asks before a snapshot is deleted. It takes one answer
// per showing; closing it in any way other than "yes" answers no.
class Tmessbox final : public TForm {
  Q_OBJECT

public:
  explicit Tmessbox(QWidget *parent = nullptr);
  ~Tmessbox() override;

  // Shows the box modally, centred on the screen, and returns whether the
  // answer was yes. Asking while the box is already up answers no.
  bool ask();

  void butyesCommand(QObject *sender);
  void butnoCommand(QObject *sender);

  TFormShaper *FormShaper1;
  TImage *Image1;
  TShadowLabel *messlab;
  TPicBtn *butyes;
  TPicBtn *butno;

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  // The answers' keys, before the buttons (which keep every key) see them.
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void answer(bool yes);
  bool takeKey(const QKeyEvent &key);

  bool awaiting_ = false; // shown and not yet answered
  bool yes_ = false;
};

} // namespace vantor
