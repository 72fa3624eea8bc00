#include "platform/usermessage.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace vantor {
namespace {

void showBox(const UserMessage &message) {
  const QMessageBox::Icon icon = message.icon == MessageIcon::Error ? QMessageBox::Critical
                                 : message.icon == MessageIcon::Information
                                     ? QMessageBox::Information
                                     : QMessageBox::NoIcon;
  const QString title =
      message.title.isEmpty() ? QApplication::applicationDisplayName() : message.title;
  QWidget *parent = message.parent ? message.parent : QApplication::activeWindow();
  QMessageBox box(icon, title, message.text, QMessageBox::Ok, parent);
  box.exec();
}

MessagePresenter &presenter() {
  static MessagePresenter current;
  return current;
}

} // namespace

void showUserMessage(const UserMessage &message) {
  if (presenter())
    presenter()(message);
  else
    showBox(message);
}

void showError(const QString &text, QWidget *parent) {
  showUserMessage({MessageIcon::Error, QString(), text, parent});
}

void showInformation(const QString &text, QWidget *parent) {
  showUserMessage({MessageIcon::Information, QString(), text, parent});
}

void showMessage(const QString &text, QWidget *parent) {
  showUserMessage({MessageIcon::None, QString(), text, parent});
}

ScopedMessagePresenter::ScopedMessagePresenter(MessagePresenter replacement)
    : previous_(std::exchange(presenter(), std::move(replacement))) {}

ScopedMessagePresenter::~ScopedMessagePresenter() {
  presenter() = std::move(previous_);
}

} // namespace vantor
