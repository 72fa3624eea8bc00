#include "controls/shadowlabel_text.h"

#include <algorithm>

namespace vantor::labeltext {

int drawFlags(TAlignment alignment, bool wordWrap, bool showAccelChar) {
  int flags = Qt::TextExpandTabs | Qt::AlignTop;
  if (wordWrap)
    flags |= Qt::TextWordWrap;
  if (showAccelChar)
    flags |= Qt::TextShowMnemonic;
  switch (alignment) {
  case taLeftJustify:
    flags |= Qt::AlignLeft;
    break;
  case taRightJustify:
    flags |= Qt::AlignRight;
    break;
  case taCenter:
    flags |= Qt::AlignHCenter;
    break;
  }
  return flags;
}

QString measuredText(const QString &caption, bool showAccelChar) {
  if (caption.isEmpty() || (showAccelChar && caption == QLatin1String("&")))
    return caption + QLatin1Char(' ');
  return caption;
}

QRect measure(const QFontMetrics &metrics, const QRect &rect, int flags, const QString &text) {
  // Measure left-anchored: alignment moves lines but never changes their size.
  const int layoutFlags =
      (flags & ~Qt::AlignHorizontal_Mask & ~Qt::AlignVertical_Mask) | Qt::AlignLeft | Qt::AlignTop;
  const QRect area(rect.x(), rect.y(), std::max(0, rect.width()), std::max(0, rect.height()));
  const QRect bounds = metrics.boundingRect(area, layoutFlags, text);
  return QRect(rect.x(), rect.y(), bounds.width(), bounds.height());
}

QPoint shadowOffset(TShadowPosition position, int size) {
  switch (position) {
  case spLeftTop:
    return QPoint(-size, -size);
  case spLeftBottom:
    return QPoint(-size, size);
  case spRightBottom:
    return QPoint(size, size);
  case spRightTop:
    return QPoint(size, -size);
  }
  return QPoint();
}

QRect boundingUnion(const QRect &a, const QRect &b) {
  const int left = std::min(a.x(), b.x());
  const int top = std::min(a.y(), b.y());
  const int right = std::max(a.x() + a.width(), b.x() + b.width());
  const int bottom = std::max(a.y() + a.height(), b.y() + b.height());
  return QRect(left, top, right - left, bottom - top);
}

int layoutShift(TTextLayout layout, int clientHeight, int measuredBottom) {
  switch (layout) {
  case tlTop:
    return 0;
  case tlCenter:
    return (clientHeight - measuredBottom) / 2;
  case tlBottom:
    return clientHeight - measuredBottom;
  }
  return 0;
}

QChar accelChar(const QString &caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&'))
      continue;
    if (caption[i + 1] != QLatin1Char('&'))
      return caption[i + 1];
    ++i; // "&&" is a literal "&"
  }
  return QChar();
}

bool isAccel(QChar key, const QString &caption) {
  const QChar accel = accelChar(caption);
  return !accel.isNull() && !key.isNull() && accel.toUpper() == key.toUpper();
}

} // namespace vantor::labeltext
