#include "settings/fileedits.h"

#include "platform/files.h"
#include "platform/handlerguard.h"

#include <QDir>

namespace vantor {

using platform::fileExists;
using platform::folderExists;

namespace pathedit {
namespace {

bool isDelimiter(QChar c) {
  return c == u'/';
}

qsizetype lastDelimiter(const QString &path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    if (isDelimiter(path[i]))
      return i;
  return -1;
}

bool isRootFolder(const QString &path) {
  return path.size() == 1 && isDelimiter(path[0]);
}

} // namespace

QString rootFolder() {
  return QString(platform::pathSeparator());
}

QString extractFilePath(const QString &path) {
  return path.left(lastDelimiter(path) + 1);
}

QString extractFileName(const QString &path) {
  return path.mid(lastDelimiter(path) + 1);
}

bool isValidFileName(const QString &name) {
  if (name.isEmpty())
    return false;
  for (QChar c : name)
    if (c == u'<' || c == u'>' || c == u'"' || c == u'[' || c == u']' || c == u'|')
      return false;
  return true;
}

QString firstCommandLineItem(const QString &text) {
  qsizetype i = 0;
  while (i < text.size() && text[i] <= u' ')
    ++i;
  QString item;
  bool quoted = false;
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'"')
      quoted = !quoted;
    else if (c <= u' ' && !quoted)
      break;
    else
      item += c;
  }
  return item;
}

QString chosenFolderText(const QString &folder) {
  QString path = QDir::toNativeSeparators(folder);
  while (path.size() > 1 && isDelimiter(path.back()) && !isRootFolder(path))
    path.chop(1);
  return path;
}

QString chosenFileText(const QString &path) {
  const QString native = QDir::toNativeSeparators(path);
  if (native.contains(u' ') && !native.startsWith(u'"'))
    return u'"' + native + u'"';
  return native;
}

} // namespace pathedit

// --- TFileDirEdit -------------------------------------------------------

TFileDirEdit::TFileDirEdit(QWidget *parent) : TCustomComboEdit(parent) {}

TPathDialogs &TFileDirEdit::dialogs() const {
  return dialogs_ ? *dialogs_ : standardPathDialogs();
}

void TFileDirEdit::buttonClick() {
  QString name = text();
  bool action = true;
  if (!callHandler(OnBeforeDialog, this, name, action) || !action)
    return;
  const std::optional<QString> chosen = RunDialog(name);
  if (canTakeFocus())
    setFocus(Qt::OtherFocusReason);
  action = chosen.has_value();
  QString result = chosen.value_or(name);
  if (callHandler(OnAfterDialog, this, result, action) && action)
    applyChoice(result);
}

// --- TDirectoryEdit -----------------------------------------------------

TDirectoryEdit::TDirectoryEdit(QWidget *parent) : TFileDirEdit(parent) {}

std::optional<QString> TDirectoryEdit::RunDialog(QString &name) {
  QString start = platform::unquotedPath(name);
  if (start.isEmpty())
    start = initialDir_;
  if (start.isEmpty())
    start = pathedit::rootFolder();
  if (!folderExists(start))
    start = pathedit::rootFolder();
  const FolderDialogRequest request{start, dialogText_, dialogKind_ == dkWin32};
  const std::optional<QString> chosen = dialogs().chooseFolder(window(), request);
  // Only an existing folder confirms the chooser.
  if (!chosen || !folderExists(*chosen))
    return std::nullopt;
  return pathedit::chosenFolderText(*chosen);
}

void TDirectoryEdit::applyChoice(const QString &name) {
  if (text().isEmpty() || !multipleDirs_)
    setText(name);
  else
    setText(text() + u';' + name);
  if (!name.isEmpty() && folderExists(name))
    initialDir_ = name;
}

// --- TFilenameEdit ------------------------------------------------------

TFilenameEdit::TFilenameEdit(QWidget *parent) : TFileDirEdit(parent) {}

std::optional<QString> TFilenameEdit::RunDialog(QString &name) {
  const QString path = platform::unquotedPath(name);
  const QString start = fileExists(path) ? path : pathedit::firstCommandLineItem(name);
  if (pathedit::isValidFileName(start)) {
    const QString folder = pathedit::extractFilePath(start);
    if (folderExists(folder))
      initialDir_ = folder;
    const QString part = pathedit::extractFileName(start);
    fileName_ = (part.isEmpty() || !pathedit::isValidFileName(part)) ? QString() : start;
  }
  FileDialogRequest request;
  request.title = title_;
  request.filter = filter_;
  request.filterIndex = filterIndex_;
  request.initialDir = initialDir_;
  request.fileName = fileName_;
  request.defaultExt = defaultExt_;
  request.save = dialogKind_ == dkSave;
  const std::optional<QString> chosen = dialogs().chooseFile(window(), request);
  if (!chosen)
    return std::nullopt;
  fileName_ = QDir::toNativeSeparators(*chosen);
  return fileName_;
}

void TFilenameEdit::applyChoice(const QString &name) {
  setText(pathedit::chosenFileText(name));
  initialDir_ = pathedit::extractFilePath(QDir::toNativeSeparators(name));
}

} // namespace vantor
