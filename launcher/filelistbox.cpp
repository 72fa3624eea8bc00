#include "launcher/filelistbox.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <utility>
#include <vector>

namespace vantor {
namespace {

// Restores the cursor that was in force before a long read, however it ends.
class BusyCursor final {
public:
  BusyCursor() = default;
  BusyCursor(const BusyCursor &) = delete;
  BusyCursor &operator=(const BusyCursor &) = delete;
  ~BusyCursor() {
    if (on_)
      QApplication::restoreOverrideCursor();
  }
  void show() {
    if (!on_ && qobject_cast<QApplication *>(QCoreApplication::instance())) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      on_ = true;
    }
  }

private:
  bool on_ = false;
};

// Sorts by the shown names, each folded once so the sort compares plain
// strings; the native names follow their shown ones.
void sortCaseBlind(QStringList &names, QList<QByteArray> &nativeNames) {
  std::vector<std::pair<QString, qsizetype>> keys;
  keys.reserve(names.size());
  for (qsizetype i = 0; i < names.size(); ++i)
    keys.emplace_back(names[i].toCaseFolded(), i);
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  QStringList sorted;
  QList<QByteArray> sortedNative;
  sorted.reserve(names.size());
  sortedNative.reserve(names.size());
  for (const auto &key : keys) {
    sorted.append(std::move(names[key.second]));
    sortedNative.append(std::move(nativeNames[key.second]));
  }
  names = std::move(sorted);
  nativeNames = std::move(sortedNative);
}

// The folder as the system names it: absolute, links resolved. Empty when it
// is not a folder that can be listed.
QString resolvedFolder(const QString &folder) {
  const QFileInfo info(platform::absolutePath(folder));
  if (!info.isDir() || !info.isReadable() || !info.isExecutable())
    return QString();
  return QDir::toNativeSeparators(info.canonicalFilePath());
}

// Splits a path into its folder part and last part; square brackets around
// the whole text are dropped.
struct PathParts {
  QString folder;
  QString last;
};

PathParts splitPath(QString path) {
  if (path.size() >= 2 && path.front() == u'[' && path.back() == u']')
    path = path.mid(1, path.size() - 2);
  path = QDir::fromNativeSeparators(path);
  const qsizetype slash = path.lastIndexOf(u'/');
  if (slash < 0)
    return {QString(), path};
  return {slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

} // namespace

TFileListBox::TFileListBox(QObject *parent)
    : QObject(parent), directory_(QDir::toNativeSeparators(platform::startFolder())) {}

void TFileListBox::setDirectory(const QString &folder) {
  // Relative paths resolve against the folder the program was started in.
  const QString resolved = resolvedFolder(folder);
  if (resolved.isEmpty())
    throw InOutError(QStringLiteral("I/O error: cannot open folder %1").arg(folder));
  if (resolved == directory_ && read_)
    return;
  directory_ = resolved;
  read();
}

void TFileListBox::setMask(const QString &mask) {
  if (mask == mask_ && read_)
    return;
  mask_ = mask;
  if (read_)
    read();
}

const QStringList &TFileListBox::items() {
  if (!read_)
    read();
  return items_;
}

void TFileListBox::setItemIndex(int index) {
  if (index == -1 || (index >= 0 && index < count()))
    itemIndex_ = index;
}

QString TFileListBox::fileName() const {
  if (itemIndex_ < 0 || itemIndex_ >= items_.size())
    return QString();
  return platform::joinPath(directory_, items_[itemIndex_]);
}

const QList<QByteArray> &TFileListBox::nativeItems() {
  if (!read_)
    read();
  return nativeItems_;
}

void TFileListBox::applyPath(const QString &path) {
  if (path.isEmpty() || path.compare(fileName(), Qt::CaseInsensitive) == 0)
    return;
  PathParts parts = splitPath(path);
  QString folder = parts.folder;
  const QString keepMaskBefore = mask_;
  if (parts.last.contains(u'*') || parts.last.contains(u'?')) {
    mask_ = parts.last;
  } else if (!parts.last.isEmpty()) {
    const QString joined = folder.isEmpty() ? parts.last : platform::joinPath(folder, parts.last);
    // An existing file as last part would select it; the launcher never does that.
    if (platform::fileExists(joined))
      return;
    folder = joined;
  }
  if (folder.isEmpty())
    folder = directory_;
  read_ = false;
  const QStringList keepItems = items_;
  const QList<QByteArray> keepNative = nativeItems_;
  const QString keepDir = directory_;
  const QString keepMask = keepMaskBefore;
  // A folder that cannot be read leaves the list as it was.
  auto rollback = qScopeGuard([&] {
    items_ = keepItems;
    nativeItems_ = keepNative;
    directory_ = keepDir;
    mask_ = keepMask;
    read_ = true;
  });
  setDirectory(folder);
  rollback.dismiss();
}

void TFileListBox::update() {
  read();
}

void TFileListBox::read() {
  BusyCursor busy;
  QStringList found;
  QList<QByteArray> foundNative;
  for (const QString &pattern : mask_.split(u';', Qt::SkipEmptyParts)) {
    const bool listed =
        platform::forEachFile(directory_, pattern.trimmed(), [&](const QByteArray &name) {
          foundNative.append(name);
          found.append(platform::displayName(name));
          if (found.size() == kBusyCursorIndex + 1)
            busy.show();
        });
    if (!listed)
      throw InOutError(QStringLiteral("I/O error: cannot open folder %1").arg(directory_));
  }
  sortCaseBlind(found, foundNative);
  items_ = std::move(found);
  nativeItems_ = std::move(foundNative);
  read_ = true;
  // Emptying the list clears its selection.
  itemIndex_ = -1;
}

} // namespace vantor
