#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace vantor::platform {

// The separator that joins a folder and a name ("\" on Windows).
QChar pathSeparator();
// Whether `path` ends with a separator ("/" counts everywhere).
bool endsWithSeparator(const QString &path);
QString joinPath(const QString &folder, const QString &name);

// Case-insensitive wildcard match of a file name: "*" any run, "?" one
// character. A trailing ".*" also matches a name without extension, as the
// system's find-first does.
bool matchesMask(const QString &name, const QString &pattern);

// Dot-files count as hidden.
bool isHiddenName(const QString &name);

bool fileExists(const QString &path);   // an existing file, not a folder
bool folderExists(const QString &path); // an existing folder

// The folder the program was started in. The program never changes its
// current folder, so every relative path means the same place all along.
QString startFolder();
// `path` made absolute against the start folder and cleaned; empty stays empty.
QString absolutePath(const QString &path);

// File names are kept as the bytes the file system gave, so a name that is
// not valid UTF-8 still names its file. A path in those bytes is "native".
QByteArray nativePath(const QString &path);
QByteArray joinNative(const QString &folder, const QByteArray &nativeName);
// A name to show: UTF-8 when it is valid UTF-8, else read as Latin-1.
QString displayName(const QByteArray &nativeName);
// A native path's folder ("." for a bare name, "/" at the root) and last name.
QByteArray nativeFolderOf(const QByteArray &nativePath);
QByteArray nativeNameOf(const QByteArray &nativePath);
bool nativeFileExists(const QByteArray &nativePath);

// Calls `visit` with the native name of each normal file in `folder` (no
// folders, no hidden or special files) whose shown name matches `pattern`, in
// the order the system lists them. Returns false when the folder cannot be
// read.
bool forEachFile(const QString &folder, const QString &pattern,
                 const std::function<void(const QByteArray &nativeName)> &visit);

// A path field's text as a path: one pair of double quotes around the whole
// text quotes it (as a chooser writes a path with a blank) and is dropped.
QString unquotedPath(const QString &text);

// The name, as `folder` lists it, of the first of `names` that is there,
// compared case-blind as the masks are; a name spelt exactly as asked wins
// over another spelling of it. Empty when none is there.
QString findListedName(const QString &folder, const QStringList &names);

} // namespace vantor::platform
