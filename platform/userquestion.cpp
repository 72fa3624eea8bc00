#include "platform/userquestion.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace vantor {
namespace {

QuestionPresenter &presenter() {
  static QuestionPresenter current;
  return current;
}

} // namespace

bool askUser(const QString &text, QWidget *parent) {
  if (presenter())
    return presenter()(text);
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                  QMessageBox::Yes | QMessageBox::No,
                  parent ? parent : QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

ScopedQuestionPresenter::ScopedQuestionPresenter(QuestionPresenter replacement)
    : previous_(std::exchange(presenter(), std::move(replacement))) {}

ScopedQuestionPresenter::~ScopedQuestionPresenter() {
  presenter() = std::move(previous_);
}

} // namespace vantor
