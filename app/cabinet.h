#pragma once

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QList>
#include <QPointer>
#include <QSize>

class QGraphicsProxyWidget;

namespace vantor {

class TForm;
class TfrmMain;

// The largest whole-number scale at which `skin` fits on `screen`; 1 when
// not even that fits.
int cabinetScale(QSize screen, QSize skin);

// Vantor on an arcade cabinet's screen: a black backdrop over the whole
// primary screen, with the main window's skin centred on it at the largest
// whole-number scale, every skin pixel a block of screen pixels. The main
// window is embedded as it is and only drawn scaled, so its buttons, dial and
// keys behave exactly as on the desktop, at the scaled size. The windows
// shown over it come up centred on it and above it; none can be dragged, and
// none of their places on the desktop is overwritten. Closing the main
// window closes the backdrop, and so ends the program.
class CabinetScreen final : public QGraphicsView {
  Q_OBJECT

public:
  CabinetScreen(TfrmMain &main, const QList<TForm *> &shownOver);
  ~CabinetScreen() override;
  CabinetScreen(const CabinetScreen &) = delete;
  CabinetScreen &operator=(const CabinetScreen &) = delete;

  // Covers the primary screen, then shows the main window on it.
  void showOnPrimaryScreen();

  int skinScale() const { return scale_; }
  // Where the skin's top-left corner is, in the backdrop's coordinates.
  QPoint skinOrigin() const;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void placeSkin();
  void placeOver(QWidget &window);

  QGraphicsScene scene_;
  QPointer<TfrmMain> main_;
  QGraphicsProxyWidget *proxy_ = nullptr;
  QList<QPointer<TForm>> shownOver_;
  int scale_ = 1;
  bool placing_ = false;
};

} // namespace vantor
