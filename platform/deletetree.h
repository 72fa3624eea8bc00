#pragma once

#include <QString>

namespace vantor::platform {

// Deletes everything in `folder`, at any depth; with `removeFolder` the
// emptied subfolders and `folder` itself are removed too, without it every
// folder stays, emptied. Files and folders without write permission are
// deleted all the same. Links are never followed: a link inside the tree is
// deleted as an entry, and a `folder` that is itself a link is left alone
// (false). Only a few descriptors are open at any time, however deep the
// tree. Returns whether everything that was to go went; false when `folder`
// is not an existing folder.
bool deleteTree(const QString &folder, bool removeFolder);

// Deletes everything in `folder` and keeps the folder itself, empty.
bool emptyFolder(const QString &folder);

} // namespace vantor::platform
