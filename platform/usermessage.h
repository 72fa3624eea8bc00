#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantor {

// What the program tells the user: one modal box, one text.
enum class MessageIcon { None, Information, Error };

struct UserMessage {
  MessageIcon icon = MessageIcon::None;
  QString title; // empty: the application's title
  QString text;
  QWidget *parent = nullptr; // empty: the active window
};

// Every message to the user goes through here, so a test (or another front
// end) can take them instead of a box.
void showUserMessage(const UserMessage &message);
void showError(const QString &text, QWidget *parent = nullptr);
void showInformation(const QString &text, QWidget *parent = nullptr);
// A plain box, without an icon.
void showMessage(const QString &text, QWidget *parent = nullptr);

using MessagePresenter = std::function<void(const UserMessage &message)>;

// Replaces the presenter for its lifetime and puts the previous one back.
class ScopedMessagePresenter final {
public:
  explicit ScopedMessagePresenter(MessagePresenter presenter);
  ~ScopedMessagePresenter();
  ScopedMessagePresenter(const ScopedMessagePresenter &) = delete;
  ScopedMessagePresenter &operator=(const ScopedMessagePresenter &) = delete;

private:
  MessagePresenter previous_;
};

} // namespace vantor
