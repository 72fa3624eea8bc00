#pragma once

#include <QString>
#include <stdexcept>

namespace vantor {

// Base of the errors that end a handler and reach the user as a message box.
class Error : public std::runtime_error {
public:
  explicit Error(const QString &message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString &message() const { return message_; }

private:
  QString message_;
};

// A folder or file operation the system refused: the input/output error a
// handler ends with.
class InOutError final : public Error {
public:
  using Error::Error;
};

// Malformed data read from a stream (an archive's headers, for example).
class StreamError final : public Error {
public:
  using Error::Error;
};

} // namespace vantor
