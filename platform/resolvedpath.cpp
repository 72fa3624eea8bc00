#include "platform/resolvedpath.h"

#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::platform {
namespace {

// As many links as the system itself follows before it calls it a loop.
constexpr int kMaxLinkHops = 40;

std::optional<QByteArray> realFolder(const QByteArray &folder) {
  char resolved[PATH_MAX];
  if (!::realpath(folder.constData(), resolved))
    return std::nullopt;
  return QByteArray(resolved);
}

std::optional<QByteArray> linkTarget(const QByteArray &link) {
  QByteArray target(PATH_MAX, '\0');
  const ssize_t n = ::readlink(link.constData(), target.data(), static_cast<size_t>(target.size()));
  if (n <= 0 || n >= target.size())
    return std::nullopt;
  target.truncate(n);
  return target;
}

} // namespace

std::optional<QByteArray> resolvedNativePath(const QByteArray &nativePath) {
  QByteArray current = nativePath;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    const std::optional<QByteArray> folder = realFolder(nativeFolderOf(current));
    const QByteArray name = nativeNameOf(current);
    if (!folder || name.isEmpty())
      return std::nullopt;
    const QByteArray path = (folder->endsWith('/') ? *folder : *folder + '/') + name;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
      return errno == ENOENT ? std::optional<QByteArray>(path) : std::nullopt;
    if (!S_ISLNK(st.st_mode))
      return path;
    const std::optional<QByteArray> target = linkTarget(path);
    if (!target)
      return std::nullopt;
    current = target->startsWith('/') ? *target : *folder + '/' + *target;
  }
  return std::nullopt;
}

} // namespace vantor::platform
