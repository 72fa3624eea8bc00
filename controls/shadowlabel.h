#pragma once

#include "controls/colors.h"
#include "controls/shadowlabel_text.h"
#include "platform/events.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace vantor {

// The skinned windows' static text: drawn with or without a background,
// optionally a second time offset in a shadow colour, and sized to its text.
class TShadowLabel final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)
  Q_PROPERTY(QFont Font READ font WRITE setFont)
  Q_PROPERTY(bool ParentFont READ parentFont WRITE setParentFont)
  Q_PROPERTY(vantor::TColor FontColor READ fontColor WRITE setFontColor)
  Q_PROPERTY(vantor::labeltypes::TAlignment Alignment READ alignment WRITE setAlignment)
  Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
  Q_PROPERTY(vantor::labeltypes::TTextLayout Layout READ layout WRITE setLayout)
  Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
  Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
  Q_PROPERTY(vantor::TColor ShadowColor READ shadowColor WRITE setShadowColor)
  Q_PROPERTY(std::uint8_t ShadowSize READ shadowSize WRITE setShadowSize)
  Q_PROPERTY(vantor::labeltypes::TShadowPosition ShadowPos READ shadowPos WRITE setShadowPos)
  Q_PROPERTY(bool ShowAccelChar READ showAccelChar WRITE setShowAccelChar)
  Q_PROPERTY(bool ShowFocus READ showFocus WRITE setShowFocus)
  Q_PROPERTY(QWidget *FocusControl READ focusControl WRITE setFocusControl)
  Q_PROPERTY(vantor::TColor Color READ color WRITE setColor)
  Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)
  Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
  Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
  Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
  explicit TShadowLabel(QWidget *parent = nullptr);
  ~TShadowLabel() override;

  const QString &caption() const { return caption_; }
  void setCaption(const QString &caption);
  bool parentFont() const;
  void setParentFont(bool parentFont);
  // The text colour; a system-colour constant is translated when drawing.
  TColor fontColor() const { return fontColor_; }
  void setFontColor(TColor color);
  TAlignment alignment() const { return alignment_; }
  void setAlignment(TAlignment alignment);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool autoSize);
  TTextLayout layout() const { return layout_; }
  void setLayout(TTextLayout layout);
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool wordWrap);
  bool transparent() const { return transparent_; }
  void setTransparent(bool transparent);
  TColor shadowColor() const { return shadowColor_; }
  void setShadowColor(TColor color);
  std::uint8_t shadowSize() const { return shadowSize_; }
  void setShadowSize(std::uint8_t size);
  TShadowPosition shadowPos() const { return shadowPos_; }
  void setShadowPos(TShadowPosition position);
  bool showAccelChar() const { return showAccelChar_; }
  void setShowAccelChar(bool show);
  bool showFocus() const { return showFocus_; }
  void setShowFocus(bool show);
  QWidget *focusControl() const { return focusControl_; }
  void setFocusControl(QWidget *control);
  TColor color() const { return color_; }
  // Setting a colour stops following the parent's.
  void setColor(TColor color);
  bool parentColor() const { return parentColor_; }
  void setParentColor(bool parentColor);

  // The colour the background is filled with when not transparent.
  QColor effectiveColor() const;
  // The size the caption needs with the current settings (what AutoSize fits).
  QSize fittedSize() const;
  // A character typed in the window: moves the focus to FocusControl when it
  // is this caption's accelerator. Returns whether it was handled.
  bool dialogChar(QChar key);
  bool mouseInside() const { return mouseInside_; }

public:
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void enterEvent(QEnterEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  struct PassStyle {
    QColor text;
    QColor shadow;
    QPoint offset;
  };
  PassStyle passStyle() const;
  // One text pass: measures when `painter` is null, else draws the shadow
  // and the text. Returns the union of the two rectangles.
  QRect textPass(QPainter *painter, const QRect &rect, int flags) const;
  void adjustBounds();
  void updateMouseInside();
  void setMouseInside(bool inside);
  void updateShortcut();
  void forgetFocusControl();

  QString caption_;
  TColor fontColor_ = clWindowText;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TColor shadowColor_ = clBtnHighlight;
  std::uint8_t shadowSize_ = 1;
  TShadowPosition shadowPos_ = spLeftTop;
  bool showAccelChar_ = true;
  bool showFocus_ = false;
  QPointer<QWidget> focusControl_;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  bool mouseInside_ = false;
  bool leftHeld_ = false;
  bool clicked_ = false;
  int shortcutId_ = 0;
};

} // namespace vantor
