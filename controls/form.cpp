#include "controls/form.h"

#include "platform/handlerguard.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>

namespace vantor {

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {}

TForm::~TForm() {
  fireDestroy();
}

void TForm::fireDestroy() {
  if (destroyed_)
    return;
  destroyed_ = true;
  callHandler(OnDestroy, this);
}

void TForm::showModal() {
  const QPointer<TForm> self(this);
  const Qt::WindowModality before = windowModality();
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  connect(this, &TForm::hidden, &loop, &QEventLoop::quit);
  // A window deleted while it is up (a handler closed its owner) is not
  // hidden first, so its end also ends the loop.
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
  ++modalDepth_;
  show();
  if (self && isVisible())
    loop.exec();
  if (!self)
    return; // nothing of the window is left to restore
  --modalDepth_;
  disconnect(this, nullptr, &loop, nullptr);
  setWindowModality(before);
}

void TForm::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    callHandler(OnShow, this);
}

void TForm::closeEvent(QCloseEvent *event) {
  bool canClose = true;
  // A handler that fails keeps the window open.
  if (!callHandler(OnCloseQuery, this, canClose))
    canClose = false;
  if (canClose)
    event->accept();
  else
    event->ignore();
}

void TForm::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous())
    emit hidden();
}

} // namespace vantor
