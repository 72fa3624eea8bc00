#pragma once

#include "controls/colors.h"
#include "controls/maskedpicture.h"
#include "controls/rect.h"
#include "platform/events.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QPainter;

namespace vantor {

class TImage;
using TFocusDrawEvent = std::function<void(QObject *sender, QPainter &canvas, TRect &rect)>;

// Moves the focus from `button` to its neighbour among the focusable tab
// stops of `form`, in tab order. A list holding only the button changes
// nothing.
void CycleFocus(QWidget *form, QWidget *button, bool forward);

// A push button that shows one frame of a vertical strip of NumStates frames.
// Mask-coloured pixels are see-through (composed with what lies behind), and
// a press there does nothing at all. OnCommand fires at the press and repeats
// while held; OnClick fires at the release.
class TPicBtn final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(vantor::TMaskedPicture *MaskedPicture READ maskedPicture CONSTANT)
  Q_PROPERTY(bool DrawFocus READ drawFocus WRITE setDrawFocus)
  Q_PROPERTY(int BtnState READ btnState WRITE setBtnState)
  Q_PROPERTY(int NextState READ nextState WRITE setNextState)
  Q_PROPERTY(int NumStates READ numStates WRITE setNumStates)
  Q_PROPERTY(int sActive READ sActive WRITE setsActive)
  Q_PROPERTY(int sInActive READ sInActive WRITE setsInActive)
  Q_PROPERTY(int sDisabled READ sDisabled WRITE setsDisabled)
  Q_PROPERTY(int sDown READ sDown WRITE setsDown)
  Q_PROPERTY(bool Masked READ masked WRITE setMasked)
  Q_PROPERTY(bool Monitoring READ monitoring WRITE setMonitoring)
  Q_PROPERTY(uint FocusColor READ focusColor WRITE setFocusColor)
  Q_PROPERTY(int FirstWait READ firstWait WRITE setFirstWait)
  Q_PROPERTY(int Repeate READ repeate WRITE setRepeate)
  Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
  Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
  explicit TPicBtn(QWidget *parent = nullptr);
  ~TPicBtn() override;

  TMaskedPicture *maskedPicture() const { return maskedPicture_; }

  bool drawFocus() const { return drawFocus_; }
  void setDrawFocus(bool value) { drawFocus_ = value; }

  int btnState() const { return btnState_; }
  void setBtnState(int value);
  int nextState() const { return nextState_; }
  void setNextState(int value);
  int numStates() const { return numStates_; }
  void setNumStates(int value);
  int sActive() const { return sActive_; }
  void setsActive(int value) { sActive_ = clampFrame(value); }
  int sInActive() const { return sInActive_; }
  void setsInActive(int value) { sInActive_ = clampFrame(value); }
  int sDisabled() const { return sDisabled_; }
  void setsDisabled(int value) { sDisabled_ = clampFrame(value); }
  int sDown() const { return sDown_; }
  void setsDown(int value) { sDown_ = clampFrame(value); }

  bool masked() const { return masked_; }
  void setMasked(bool value);
  bool monitoring() const { return monitoring_; }
  void setMonitoring(bool value);
  TColor focusColor() const { return focusColor_; }
  void setFocusColor(TColor value);
  // Delay from a mouse press to the first repeat. One shorter than a click
  // (250 ms) is stretched to the system's double-click interval, so a click
  // acts once.
  int firstWait() const { return firstWait_; }
  void setFirstWait(int value) { firstWait_ = value; }
  int repeate() const { return repeate_; }
  void setRepeate(int value) { repeate_ = value; }
  bool tabStop() const { return focusPolicy() & Qt::TabFocus; }
  // A press gives the focus whatever the policy; Tab stops only at a tab stop.
  void setTabStop(bool value) { setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus); }

  // Frame height: picture height div NumStates.
  int frameHeight() const;
  // The picture with its see-through pixels filled in, all frames.
  const QImage &compositeImage() const { return composite_; }
  const TRect &focusRect() const { return focusRect_; }
  // Is the global cursor over a non-see-through pixel of the button?
  bool cursorOver() const;
  // Is p (in the button) a mask-coloured pixel of frame 1 of a masked button?
  bool seeThrough(QPoint p) const;

  // The click: OnClick, then the frame NextState (or sActive for 0).
  void Click();
  // Timer ticks; public so that a test can pace them on a fake clock.
  void repeatTick();
  void hoverTick();

  TNotifyEvent OnClick;
  TNotifyEvent OnCommand;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TFocusDrawEvent OnDrawFocus;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;

private:
  int clampFrame(int value) const { return value < 1 || value > numStates_ ? 1 : value; }
  void pictureChanged();
  void rebuildComposite();
  void followBackdrop(TImage *image);
  void updateShape();
  bool placementChanged();
  void press();
  bool command();
  void spaceCharacter();
  void tabKey(bool backward);
  void stopRepeat();
  void drawDefaultFocus(QPainter &canvas, const TRect &rect) const;

  TMaskedPicture *maskedPicture_;
  QImage composite_;
  QPointer<TImage> backdropImage_;
  QMetaObject::Connection backdropChanged_;
  QRect lastPlacement_{0, 0, 0, 0};
  TRect focusRect_;
  QTimer hoverTimer_;                     // timer 1
  QTimer repeatTimer_;                    // timer 2
  std::optional<std::uint32_t> nextFire_; // none while idle
  bool keyFailed_ = false;                // this Space press's command failed
  bool hover_ = false;
  bool drawFocus_ = true;
  bool masked_ = false;
  bool monitoring_ = false;
  TColor focusColor_ = clBlack;
  int firstWait_ = 250;
  int repeate_ = 55;
  int numStates_ = 4;
  int sActive_ = 1;
  int sInActive_ = 2;
  int sDisabled_ = 3;
  int sDown_ = 4;
  int btnState_ = 1;
  int nextState_ = 0;
};

} // namespace vantor
