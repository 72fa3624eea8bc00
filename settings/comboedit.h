#pragma once

#include "platform/events.h"

#include <QAbstractButton>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <functional>

namespace vantor {

// The three-dot picture: 4 rows high, buttonWidth - 6 wide (at least 1),
// three black 2 x 2 dots on row 1, centred as a group.
QImage ellipsisGlyph(int buttonWidth);

// Where the button sits inside a field of `field` size (widget pixels).
QRect comboButtonGeometry(QSize field, int buttonWidth);

// The push button inside a combo edit; it never takes the focus itself.
class TEditButton final : public QAbstractButton {
  Q_OBJECT

public:
  explicit TEditButton(QWidget *parent);
  void setGlyph(const QImage &glyph, int numGlyphs);
  void setDropDownArrow(bool on);
  QSize sizeHint() const override { return {21, 21}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QImage glyph_;
  int numGlyphs_ = 1;
  bool dropDown_ = false;
};

// A one-line edit with a push button at its right end.
class TCustomComboEdit : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QString Text READ text WRITE setTextValue)
  Q_PROPERTY(int ButtonWidth READ buttonWidth WRITE setButtonWidth)
  Q_PROPERTY(QKeySequence ClickKey READ clickKey WRITE setClickKey)
  Q_PROPERTY(vantor::TCustomComboEdit::TGlyphKind GlyphKind READ glyphKind WRITE setGlyphKind)
  Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
  Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
  Q_PROPERTY(bool Ctl3D READ ctl3D WRITE setCtl3D)

public:
  enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
  Q_ENUM(TGlyphKind)

  explicit TCustomComboEdit(QWidget *parent = nullptr);

  int buttonWidth() const { return buttonWidth_; }
  void setButtonWidth(int width);
  QKeySequence clickKey() const { return clickKey_; }
  void setClickKey(const QKeySequence &key) { clickKey_ = key; }
  TGlyphKind glyphKind() const { return glyphKind_; }
  void setGlyphKind(TGlyphKind kind);
  QImage glyph() const { return glyph_; }
  // A user picture; makes the kind gkCustom.
  void setGlyph(const QImage &glyph);
  int numGlyphs() const { return numGlyphs_; }
  void setNumGlyphs(int n);
  bool ctl3D() const { return ctl3D_; }
  void setCtl3D(bool on);

  // The `Text` property's writer: an equal text changes nothing.
  void setTextValue(const QString &text) {
    if (text != this->text())
      setText(text);
  }

  TEditButton *button() const { return button_; }
  // Presses the button as ClickKey does.
  void doClick();

  // Events, fired with the field as sender when assigned.
  TNotifyEvent OnChange;      // every change of the text
  TNotifyEvent OnButtonClick; // before the button action

protected:
  // The subclass's button action.
  virtual void buttonClick() {}
  bool canTakeFocus() const;

  void resizeEvent(QResizeEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void updateLayout();
  void updateGlyph();

  TEditButton *button_;
  int buttonWidth_ = 21;
  QKeySequence clickKey_{Qt::ALT | Qt::Key_Down};
  TGlyphKind glyphKind_ = gkDefault;
  QImage glyph_;
  int numGlyphs_ = 1;
  bool ctl3D_ = true;
};

} // namespace vantor
