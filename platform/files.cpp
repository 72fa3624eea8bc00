#include "platform/files.h"

#include "platform/handles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace vantor::platform {
namespace {

QChar foldCase(QChar c) {
  return c.toCaseFolded();
}

// Iterative glob match with one backtrack point: linear in practice.
bool globMatch(QStringView name, QStringView pattern) {
  qsizetype n = 0, p = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || foldCase(pattern[p]) == foldCase(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*')
    ++p;
  return p == pattern.size();
}

} // namespace

QChar pathSeparator() {
  return QDir::separator();
}

bool endsWithSeparator(const QString &path) {
  return path.endsWith(pathSeparator()) || path.endsWith(u'/');
}

QString joinPath(const QString &folder, const QString &name) {
  if (folder.isEmpty())
    return name;
  if (endsWithSeparator(folder))
    return folder + name;
  return folder + pathSeparator() + name;
}

bool matchesMask(const QString &name, const QString &pattern) {
  if (globMatch(name, pattern))
    return true;
  if (pattern.endsWith(QLatin1String(".*")) && !name.contains(u'.'))
    return globMatch(name, QStringView(pattern).chopped(2));
  return false;
}

bool isHiddenName(const QString &name) {
  return name.startsWith(u'.');
}

bool fileExists(const QString &path) {
  if (path.isEmpty())
    return false;
  const QFileInfo info(absolutePath(path));
  return info.exists() && !info.isDir();
}

bool folderExists(const QString &path) {
  return !path.isEmpty() && QFileInfo(absolutePath(path)).isDir();
}

QString startFolder() {
  // Taken once, at the first question, which the program asks before anything else.
  static const QString folder = QDir::currentPath();
  return folder;
}

QString absolutePath(const QString &path) {
  if (path.isEmpty())
    return path;
  return QDir::cleanPath(QDir(startFolder()).absoluteFilePath(path));
}

QByteArray nativePath(const QString &path) {
  return QFile::encodeName(path);
}

QByteArray joinNative(const QString &folder, const QByteArray &nativeName) {
  QByteArray path = nativePath(folder);
  if (!path.isEmpty() && !path.endsWith('/'))
    path += '/';
  return path + nativeName;
}

QString displayName(const QByteArray &nativeName) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(nativeName);
  return utf8.hasError() ? QString::fromLatin1(nativeName) : text;
}

QByteArray nativeFolderOf(const QByteArray &nativePath) {
  const qsizetype slash = nativePath.lastIndexOf('/');
  return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : nativePath.left(slash);
}

QByteArray nativeNameOf(const QByteArray &nativePath) {
  return nativePath.mid(nativePath.lastIndexOf('/') + 1);
}

bool nativeFileExists(const QByteArray &nativePath) {
  struct stat st {};
  return !nativePath.isEmpty() && stat(nativePath.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool forEachFile(const QString &folder, const QString &pattern,
                 const std::function<void(const QByteArray &nativeName)> &visit) {
  const QByteArray native = nativePath(absolutePath(folder.isEmpty() ? startFolder() : folder));
  const UniqueDir dir(opendir(native.constData()));
  if (!dir)
    return false;
  const int fd = dirfd(dir.get());
  while (const dirent *entry = readdir(dir.get())) {
    const QString name = displayName(entry->d_name);
    if (isHiddenName(name) || !matchesMask(name, pattern))
      continue;
    // Links count as what they point at; anything but a regular file is skipped.
    if (entry->d_type != DT_REG) {
      struct stat st {};
      if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        continue;
      if (fstatat(fd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
        continue;
    }
    visit(QByteArray(entry->d_name));
  }
  return true;
}

QString unquotedPath(const QString &text) {
  if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
    return text.mid(1, text.size() - 2);
  return text;
}

QString findListedName(const QString &folder, const QStringList &names) {
  // The folder is read once, and only when a name is not there as spelt.
  std::optional<QStringList> listed;
  for (const QString &name : names) {
    if (fileExists(joinPath(folder, name)))
      return name;
    if (!listed) {
      listed.emplace();
      forEachFile(folder, QStringLiteral("*"),
                  [&](const QString &entry) { listed->append(entry); });
      // Several spellings of one name: the same one wins whatever the listing order.
      listed->sort(Qt::CaseSensitive);
    }
    for (const QString &entry : *listed)
      if (entry.compare(name, Qt::CaseInsensitive) == 0)
        return entry;
  }
  return {};
}

} // namespace vantor::platform
