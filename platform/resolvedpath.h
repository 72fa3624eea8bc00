#pragma once

#include <QByteArray>
#include <optional>

namespace vantor::platform {

// `nativePath` with every link followed, in its folders and at its end, as
// the system's realpath does. A last link pointing at a file that is not
// there (yet) gives that file's path when its folder exists, so it can be
// created where the link leads. Nothing for a loop, a chain too long, or a
// folder on the way that is missing.
std::optional<QByteArray> resolvedNativePath(const QByteArray &nativePath);

} // namespace vantor::platform
