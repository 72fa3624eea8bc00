#pragma once

#include "platform/events.h"

#include <QWidget>
#include <functional>

namespace vantor {

// A top-level window with the form events components hook into: show,
// close request and destroy. A hook keeps the handler it replaces and calls it.
class TForm : public QWidget {
  Q_OBJECT

public:
  explicit TForm(QWidget *parent = nullptr);
  ~TForm() override;

  TNotifyEvent OnShow;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

  // Runs OnDestroy once. Derived windows call it first in their destructor,
  // while their controls still exist.
  void fireDestroy();

  // Shows the window modally and returns when it is hidden again.
  void showModal();
  bool isShowingModal() const { return modalDepth_ > 0; }

signals:
  // A signal, not an assignable event: it ends showModal's local event loop.
  void hidden();

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  bool destroyed_ = false;
  int modalDepth_ = 0;
};

} // namespace vantor
