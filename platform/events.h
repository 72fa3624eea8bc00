#pragma once

#include <QObject>
#include <functional>

namespace vantor {

// Events of the skinned controls: plain callables, fired with the control as
// sender and only when assigned.
using TNotifyEvent = std::function<void(QObject *sender)>;
using TMouseEvent = std::function<void(QObject *sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(QObject *sender, Qt::KeyboardModifiers shift, int x, int y)>;
// A window about to close; clearing canClose keeps it open.
using TCloseQueryEvent = std::function<void(QObject *sender, bool &canClose)>;

} // namespace vantor
