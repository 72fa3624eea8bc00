#pragma once

#include <QString>
#include <functional>

class QProcess;

namespace vantor::platform {

// The address a link target stands for. Targets are built with Windows-style
// "scheme:\\" prefixes, which no browser here understands, so a leading
// "scheme:\\" becomes "scheme://"; anything else is left as it is. A single
// letter before the colon is a drive, not a scheme.
QString shellAddress(const QString &target);

// The message the user reads when `address` could not be opened.
QString cannotOpenText(const QString &address, const QString &reason);

// Opens `target` with the user's default handler (browser, mail program).
// Throws vantor::Error when nothing can take it; a handler that starts but
// then fails is reported through showError when it ends. Long targets are
// passed whole.
void shellOpen(const QString &target);

// What does the opening; it receives the converted address.
using ShellOpener = std::function<void(const QString &address)>;

// Puts `opener` in place of the desktop's for its lifetime (tests record the
// addresses instead of starting a browser).
class ScopedShellOpener final {
public:
  explicit ScopedShellOpener(ShellOpener opener);
  ~ScopedShellOpener();
  ScopedShellOpener(const ScopedShellOpener &) = delete;
  ScopedShellOpener &operator=(const ScopedShellOpener &) = delete;

private:
  ShellOpener previous_;
};

// Runs `program address` without waiting for it. When it cannot be started
// or ends in failure, `failed` gets the reason from the event loop. The
// process deletes itself once it has ended.
QProcess *startOpener(const QString &program, const QString &address,
                      std::function<void(const QString &reason)> failed);

} // namespace vantor::platform
