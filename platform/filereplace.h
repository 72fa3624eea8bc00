#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace vantor::platform {

// Puts `data` under `nativePath` so that the name always holds either the old
// file or the whole new one: the bytes go to a hidden temporary file in the
// same folder, every write is checked, the file is synced and its size
// checked, and only then is it renamed onto the name. An existing file of
// that name is never opened, so a link there is replaced itself and the file
// it points to stays as it is. On any failure the temporary file is removed
// and the name keeps what it had. Returns why it failed ("" on success), in
// the system's words.
QString replaceFile(const QByteArray &nativePath, const QByteArray &data);

// Steps of a replacement, for tests that make one fail.
enum class ReplaceStep { Create, Write, Sync, Rename };
// The errno the step fails with; 0 lets it run.
using ReplaceFault = std::function<int(ReplaceStep)>;
// An empty function lets every step run again.
void setReplaceFault(ReplaceFault fault);

} // namespace vantor::platform
