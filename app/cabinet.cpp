#include "app/cabinet.h"

#include "controls/form.h"
#include "controls/formshaper.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "settings/formstorage.h"

#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace vantor {

int cabinetScale(QSize screen, QSize skin) {
  if (skin.isEmpty())
    return 1;
  return std::max(1, std::min(screen.width() / skin.width(), screen.height() / skin.height()));
}

CabinetScreen::CabinetScreen(TfrmMain &main, const QList<TForm *> &shownOver) : main_(&main) {
  setObjectName(QStringLiteral("cabinet"));
  setWindowTitle(main.windowTitle());
  setWindowFlag(Qt::FramelessWindowHint);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundBrush(Qt::black);
  // No smoothing: each skin pixel must become a block of whole pixels.
  setRenderHints({});
  setScene(&scene_);

  main.setMovable(false);
  // The skin's own see-through pixels give the outline here, over the
  // black: nothing may paint beneath them.
  main.setAutoFillBackground(false);
  main.FormStorage1->setPlaceHeld(true);
  main.installEventFilter(this);

  for (TForm *window : shownOver) {
    if (!window)
      continue;
    shownOver_.append(window);
    if (auto *storage = window->findChild<TFormPlacement *>())
      storage->setPlaceHeld(true);
    window->installEventFilter(this);
  }
}

CabinetScreen::~CabinetScreen() {
  for (const QPointer<TForm> &window : std::as_const(shownOver_))
    if (window)
      window->removeEventFilter(this);
  if (!main_)
    return;
  main_->removeEventFilter(this);
  // The main window outlives the backdrop; the proxy would delete it.
  if (proxy_)
    proxy_->setWidget(nullptr);
}

void CabinetScreen::showOnPrimaryScreen() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  scene_.setSceneRect(0, 0, screen.width(), screen.height());
  setGeometry(screen);
  showFullScreen();
  // Embedded only now, as embedding may show it: what its first show opens
  // (the setup window, without a ROM folder) comes up over the backdrop,
  // with the skin already in place.
  proxy_ = new QGraphicsProxyWidget;
  // The scaled picture is made when the window changes, not at every paint.
  proxy_->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
  scene_.addItem(proxy_);
  placeSkin();
  connect(proxy_, &QGraphicsWidget::geometryChanged, this, [this] { placeSkin(); });
  proxy_->setWidget(main_);
  // The keys go to the main window, as on the desktop.
  proxy_->setFocus();
  main_->show();
}

QPoint CabinetScreen::skinOrigin() const {
  return proxy_ ? mapFromScene(proxy_->pos()) : QPoint();
}

void CabinetScreen::placeSkin() {
  if (placing_ || !main_ || !proxy_)
    return;
  placing_ = true;
  const QSize screen = scene_.sceneRect().size().toSize();
  const QSize skin = main_->size();
  scale_ = cabinetScale(screen, skin);
  proxy_->setScale(scale_);
  proxy_->setPos(centredOn(QRect(QPoint(0, 0), screen), skin * scale_));
  placing_ = false;
}

// The windows shown over the backdrop stay on its screen, in its middle and
// above it, wherever they stood on the desktop.
void CabinetScreen::placeOver(QWidget &window) {
  window.move(centredOn(geometry(), window.frameGeometry().size()));
  if (QWindow *handle = window.windowHandle())
    handle->setTransientParent(windowHandle());
}

bool CabinetScreen::eventFilter(QObject *watched, QEvent *event) {
  if (watched == main_) {
    if (event->type() == QEvent::Resize)
      placeSkin();
    // An embedded window with a mask is drawn shifted by the mask's margin;
    // the see-through pixels outside the outline cut it as exactly. Queued:
    // the shaper puts the mask on after this, and the show may open the
    // setup window modally before it returns.
    else if (event->type() == QEvent::Show)
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (main_)
              main_->FormShaper1->setActive(false);
            if (proxy_)
              proxy_->update();
          },
          Qt::QueuedConnection);
    // The main window's close ends the program; the backdrop goes with it.
    else if (event->type() == QEvent::Hide && !event->spontaneous() && isVisible())
      close();
    return false;
  }
  if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType())
    placeOver(*static_cast<QWidget *>(watched));
  return false;
}

// Closing the backdrop (from the window manager) asks the main window, which
// may refuse while a game runs.
void CabinetScreen::closeEvent(QCloseEvent *event) {
  if (main_ && main_->isVisible() && !main_->close()) {
    event->ignore();
    return;
  }
  event->accept();
}

} // namespace vantor
