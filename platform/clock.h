#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>

namespace vantor::platform {

// Millisecond tick and global cursor position. Controls ask these instead of
// the system so tests can drive time and the mouse.
std::uint32_t tickCount();
QPoint cursorPos();

using TickSource = std::function<std::uint32_t()>;
using CursorSource = std::function<QPoint()>;

// Replace the sources; an empty function restores the system's.
void setTickSource(TickSource source);
void setCursorSource(CursorSource source);

} // namespace vantor::platform
