#pragma once

#include <QString>

namespace vantor::platform {

// Deletes the files in `folder` and, recursively, its subfolders; with
// `removeFolder` the emptied folders and `folder` itself are removed too.
// Entries whose names begin with "." are skipped, so a folder holding one
// stays (and the result is false when it was to be removed). Files and
// folders without write permission are deleted all the same. Links are never
// followed: a link inside the tree is deleted as an entry, and a `folder`
// that is itself a link is left alone (false). Returns whether everything
// that was to go went; false when `folder` is not an existing folder.
bool deleteTree(const QString &folder, bool removeFolder);

} // namespace vantor::platform
