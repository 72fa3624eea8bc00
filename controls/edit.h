#pragma once

#include <QLineEdit>
#include <functional>

namespace vantor {

// A one-line edit whose change event fires on every change of its text,
// typed or assigned, and on nothing else.
class TEdit : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QString Text READ text WRITE setTextValue)

public:
  explicit TEdit(QWidget *parent = nullptr);

  void setTextValue(const QString &text);

  std::function<void(QObject *sender)> OnChange;

private:
  QString last_;
};

} // namespace vantor
