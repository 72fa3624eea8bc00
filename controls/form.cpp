#include "controls/form.h"

#include "platform/handlerguard.h"

#include <QCloseEvent>
#include <QEventLoop>

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
  const Qt::WindowModality before = windowModality();
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  const auto done = connect(this, &TForm::hidden, &loop, &QEventLoop::quit);
  ++modalDepth_;
  show();
  if (isVisible())
    loop.exec();
  --modalDepth_;
  disconnect(done);
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
