#pragma once

#include "platform/events.h"

#include <QLineEdit>
#include <functional>

namespace vantor {

// A one-line edit whose change event fires on every change of its text,
// typed or assigned, and on nothing else.
class TEdit final : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QString Text READ text WRITE setTextValue)

public:
  explicit TEdit(QWidget *parent = nullptr);

  void setTextValue(const QString &text);

  TNotifyEvent OnChange;

private:
  QString last_;
};

} // namespace vantor
