#pragma once

#include "controls/colors.h"
#include "controls/shadowlabel_text.h"
#include "platform/events.h"

#include <QFont>
#include <QLabel>
#include <QPointer>

namespace vantor {

// A font as a window gives it to a label: the face and its text colour.
struct LinkFont {
  QFont face;
  TColor color = clWindowText;
  friend bool operator==(const LinkFont &, const LinkFont &) = default;
};

// A text label that works as a link: a click opens its caption, behind the
// prefix of its type, with the user's browser or mail program. It shows a
// hand cursor and changes colour while pressed (and, in the hover style,
// while pointed at).
class TURLLabel final : public QLabel {
  Q_OBJECT
  Q_PROPERTY(TLabelType LabelType READ labelType WRITE setLabelType)
  Q_PROPERTY(vantor::TColor URLColStd READ urlColStd WRITE setURLColStd)
  Q_PROPERTY(vantor::TColor URLColPre READ urlColPre WRITE setURLColPre)
  Q_PROPERTY(bool AllowDown READ allowDown WRITE setAllowDown)
  Q_PROPERTY(bool Effect98 READ effect98 WRITE setEffect98)
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)
  Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
  Q_PROPERTY(TAlign Align READ align WRITE setAlign)
  Q_PROPERTY(vantor::LinkFont Font READ linkFont WRITE setLinkFont)
  Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
  Q_PROPERTY(vantor::labeltypes::TAlignment Alignment READ textAlignment WRITE setTextAlignment)
  Q_PROPERTY(bool ParentFont READ parentFont WRITE setParentFont)
  Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
  Q_PROPERTY(QString Hint READ hint WRITE setHint)
  Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)

public:
  enum TLabelType { hmHTTP, hmMAIL, hmFTP, hmCUSTOM };
  Q_ENUM(TLabelType)
  enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
  Q_ENUM(TAlign)

  explicit TURLLabel(QWidget *parent = nullptr);

  TLabelType labelType() const { return labelType_; }
  void setLabelType(TLabelType value);
  TColor urlColStd() const { return urlColStd_; }
  void setURLColStd(TColor value);
  TColor urlColPre() const { return urlColPre_; }
  void setURLColPre(TColor value);
  bool allowDown() const { return allowDown_; }
  void setAllowDown(bool value);
  bool effect98() const { return effect98_; }
  void setEffect98(bool value);

  QString caption() const { return text(); }
  void setCaption(const QString &value);
  void setWordWrap(bool value);
  TAlign align() const { return align_; }
  void setAlign(TAlign value);
  // The whole font with its colour; writing it also makes its colour the
  // colour at rest.
  LinkFont linkFont() const { return {font(), fontColor_}; }
  void setLinkFont(const LinkFont &value);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool value);
  TAlignment textAlignment() const { return textAlignment_; }
  void setTextAlignment(TAlignment value);
  bool parentFont() const { return parentFont_; }
  void setParentFont(bool value);
  bool transparent() const { return !autoFillBackground(); }
  void setTransparent(bool value);
  const QString &hint() const { return hint_; }
  void setHint(const QString &value);
  bool showHint() const { return showHint_; }
  void setShowHint(bool value);

  // The text colour in force.
  TColor fontColor() const { return fontColor_; }
  // What a click opens: the type's prefix followed by the caption; empty for
  // hmCUSTOM.
  QString target() const;
  static QString prefixOf(TLabelType type);

  TNotifyEvent OnClick;

protected:
  void enterEvent(QEnterEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void changeEvent(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void click();
  void setFontColor(TColor color);
  // Replaces the whole style set: underlined or plain, bold and italic dropped.
  void setUnderlineOnly(bool underline);
  void adjustBounds();
  void followParent();

  TLabelType labelType_ = hmHTTP;
  TColor urlColStd_ = clBlue;
  TColor urlColPre_ = clRed;
  bool allowDown_ = false;
  bool effect98_ = false;
  TAlign align_ = alNone;
  bool autoSize_ = true;
  TAlignment textAlignment_ = taLeftJustify;
  bool parentFont_ = true;
  QString hint_;
  bool showHint_ = false;
  TColor fontColor_ = clBlue;
  bool clicked_ = false; // a left press on the label is in progress
  QPointer<QWidget> watchedParent_;
};

} // namespace vantor
