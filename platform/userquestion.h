#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantor {

// A yes-or-no question in a modal box under the application's title: Return
// or the yes button says yes; Escape, the no button or closing the box no.
bool askUser(const QString &text, QWidget *parent = nullptr);

using QuestionPresenter = std::function<bool(const QString &text)>;

// Replaces the box for its lifetime (tests answer for the user) and puts the
// previous presenter back.
class ScopedQuestionPresenter final {
public:
  explicit ScopedQuestionPresenter(QuestionPresenter presenter);
  ~ScopedQuestionPresenter();
  ScopedQuestionPresenter(const ScopedQuestionPresenter &) = delete;
  ScopedQuestionPresenter &operator=(const ScopedQuestionPresenter &) = delete;

private:
  QuestionPresenter previous_;
};

} // namespace vantor
