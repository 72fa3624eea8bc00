#pragma once

#include <QChar>
#include <QFontMetrics>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

namespace vantor {

namespace labeltypes {
Q_NAMESPACE

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
Q_ENUM_NS(TShadowPosition)
enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)
} // namespace labeltypes

using namespace labeltypes;

// Geometry and text rules of the shadow label, kept free of the widget.
namespace labeltext {

// Qt text flags for one pass: tabs expanded, "&" marks the accelerator
// unless `showAccelChar` is off, optional word breaks, the horizontal
// alignment. The vertical placement is the label's own (see layoutShift).
int drawFlags(TAlignment alignment, bool wordWrap, bool showAccelChar);

// What a measurement measures: an empty caption, and a lone "&" while it
// marks accelerators, measure with one space appended so they stay one line high.
QString measuredText(const QString &caption, bool showAccelChar);

// The rectangle the text takes when laid out in `rect` with `flags`: left and
// top stay, width and height become those of the text.
QRect measure(const QFontMetrics &metrics, const QRect &rect, int flags, const QString &text);

// Offset of the shadow pass for a position and size in pixels.
QPoint shadowOffset(TShadowPosition position, int size);

// Smallest rectangle holding both; unlike QRect::united it keeps
// zero-width rectangles, which a measured empty line is.
QRect boundingUnion(const QRect &a, const QRect &b);

// How far a text measured down to `measuredBottom` (exclusive) moves down
// in a label `clientHeight` high; the centre case truncates toward zero.
int layoutShift(TTextLayout layout, int clientHeight, int measuredBottom);

// The accelerator character of a caption ("&x" marks x, "&&" is a plain
// "&"), or a null QChar when there is none.
QChar accelChar(const QString &caption);

// Whether `key` is the caption's accelerator, compared without case.
bool isAccel(QChar key, const QString &caption);

} // namespace labeltext
} // namespace vantor
