#pragma once

#include "controls/rect.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

namespace vantor {

// Show commands and flags as the settings file stores them.
enum ShowCommand : int { SwHide = 0, SwShowNormal = 1, SwShowMinimized = 2, SwShowMaximized = 3 };
enum PlacementFlag : int { WpfSetMinPosition = 1, WpfRestoreToMaximized = 2 };

// A window's placement: state, the minimised and maximised positions and the
// normal (restored) outer rectangle in screen pixels.
struct WindowPlacement {
  int flags = 0;
  int showCmd = SwShowNormal;
  QPoint minPosition{-1, -1};
  QPoint maxPosition{-1, -1};
  TRect normal;
};

// The screen the placements are keyed by, and the work areas of all screens
// a restored window is kept on (empty: one screen of `size` at the origin).
struct ScreenMetrics {
  QSize size;
  int pixelsPerInch = 96;
  QList<QRect> areas;
};

// The work areas a restored window is kept on.
QList<QRect> screenAreas(const ScreenMetrics &screen);

// The primary screen's size and logical pixels per inch and every screen's
// work area, or what a test set.
ScreenMetrics currentScreen();
void setScreenSource(std::function<ScreenMetrics()> source);

// Maps the placement record onto one top-level Qt window. Qt has no minimised
// or maximised positions, so they are kept here, per window.
class WindowPlacer final {
public:
  explicit WindowPlacer(QWidget *window) : window_(window) {}

  WindowPlacement placement() const;
  // Moves (and, for a sizeable window, resizes) the window to the normal
  // rectangle, kept within reach on the screens, and applies the show
  // command; SwHide leaves the state alone. Never shows a hidden window.
  void setPlacement(const WindowPlacement &placement);

  // Moves a window in its normal state wholly onto one screen, if it is not.
  void keepOnScreen();

  void setState(int showCmd);
  // After a restore: (0, 0) for a borderless window, else minus its frame.
  void adjustMaxPosition();

  bool isBorderless() const;
  bool isSizeable() const;

private:
  QWidget *window_;
  QPoint minPosition_{-1, -1};
  QPoint maxPosition_{-1, -1};
};

} // namespace vantor
