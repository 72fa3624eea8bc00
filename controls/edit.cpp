#include "controls/edit.h"

#include "platform/handlerguard.h"

namespace vantor {

TEdit::TEdit(QWidget *parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
    if (text == last_)
      return;
    last_ = text;
    callHandler(OnChange, this);
  });
}

void TEdit::setTextValue(const QString &text) {
  if (text != this->text())
    setText(text);
}

} // namespace vantor
