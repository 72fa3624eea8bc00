#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vantor::platform {

// The separator that joins a folder and a name ("\" on Windows).
QChar pathSeparator();
QString joinPath(const QString &folder, const QString &name);

// Case-insensitive wildcard match of a file name: "*" any run, "?" one
// character. A trailing ".*" also matches a name without extension, as the
// system's find-first does.
bool matchesMask(const QString &name, const QString &pattern);

// Dot-files count as hidden.
bool isHiddenName(const QString &name);

bool fileExists(const QString &path);   // an existing file, not a folder
bool folderExists(const QString &path); // an existing folder

QString currentFolder();
// Returns false when the folder cannot be entered.
bool setCurrentFolder(const QString &path);

// Calls `visit` for each normal file in `folder` (no folders, no hidden or
// special files) whose name matches `pattern`, in the order the system lists
// them. Returns false when the folder cannot be read.
bool forEachFile(const QString &folder, const QString &pattern,
                 const std::function<void(const QString &name)> &visit);

// A path field's text as a path: one pair of double quotes around the whole
// text quotes it (as a chooser writes a path with a blank) and is dropped.
QString unquotedPath(const QString &text);

// The name, as `folder` lists it, of the first of `names` that is there,
// compared case-blind as the masks are; a name spelt exactly as asked wins
// over another spelling of it. Empty when none is there.
QString findListedName(const QString &folder, const QStringList &names);

} // namespace vantor::platform
