#pragma once

#include "controls/colors.h"
#include "controls/valueslidergeometry.h"
#include "platform/events.h"
#include "platform/handlerguard.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QPainter;

namespace vantor {

// A bitmap-skinned slider: a thumb picture moving along a ruler picture that
// is stretched to the track, for picking an integer between two bounds.
class TCustomValueSlider : public QWidget {
  Q_OBJECT

public:
  enum TSliderOrientation { soHorizontal = 0, soVertical = 1 };
  Q_ENUM(TSliderOrientation)
  enum TSliderOption { soShowFocus = 0x1, soShowPoints = 0x2, soSmooth = 0x4 };
  Q_DECLARE_FLAGS(TSliderOptions, TSliderOption)
  Q_FLAG(TSliderOptions)
  enum TPanelBevel { bvNone = 0, bvLowered = 1, bvRaised = 2 };
  Q_ENUM(TPanelBevel)
  enum ImageIndex { HThumb = 0, HRuler = 1, VThumb = 2, VRuler = 3 };

  explicit TCustomValueSlider(QWidget *parent = nullptr);
  ~TCustomValueSlider() override;

  int value() const { return value_; }
  void setValue(int v);
  int minValue() const { return min_; }
  void setMinValue(int v);
  int maxValue() const { return max_; }
  void setMaxValue(int v);
  void setRange(int min, int max);
  int increment() const { return increment_; }
  // Throws vantor::Error outside 1..MaxValue - MinValue (unless reading).
  void setIncrement(int v);
  TSliderOptions options() const { return options_; }
  void setOptions(TSliderOptions options);
  TPanelBevel bevelStyle() const { return bevel_; }
  void setBevelStyle(TPanelBevel bevel);
  TSliderOrientation orientation() const { return orientation_; }
  void setOrientation(TSliderOrientation orientation);
  int numThumbStates() const { return numThumbStates_; }
  void setNumThumbStates(int n);
  int edgeSize() const { return edgeSize_; }
  void setEdgeSize(int v);
  TColor color() const { return color_; }
  void setColor(TColor color);
  bool parentColor() const { return parentColor_; }
  void setParentColor(bool on);
  bool tabStop() const { return focusPolicy() != Qt::NoFocus; }
  void setTabStop(bool on);

  // The four picture slots; a null image restores the built-in default.
  const QImage &image(int index) const { return images_.at(index); }
  void setImage(int index, const QImage &image);
  // Bit n set: slot n holds a user-supplied picture.
  int userImages() const { return userImages_; }

  // Setting stored values as a batch: range and increment checks are relaxed
  // and resizes do not lay out, so the setters' order does not matter;
  // endReading applies the user pictures again.
  void beginReading();
  void endReading();
  bool isReading() const { return reading_; }

  // Draws the point marks; an OnDrawPoints handler may call it.
  void PaintMarks(int step, int markLength, int endMarkLength);

  // Layout results, in widget pixels.
  TRect thumbRect() const { return thumbRect_; }
  QPoint rulerPos() const { return rulerPos_; }
  const QImage &rulerBitmap() const { return ruler_; }
  int marksTop() const { return marksTop_; }
  int marksLeft() const { return marksLeft_; }
  slider::TrackGeometry geometryInfo() const;
  const QTimer &repeatTimer() const { return repeatTimer_; }

  // Events, fired with the slider as sender when assigned.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanged;
  TNotifyEvent OnDrawPoints; // replaces the built-in point marks while painting

protected:
  // A slider of another kind may answer a change in its own way.
  virtual void NotifyChange() { callHandler(OnChange, this); }
  virtual void NotifyChanged() { callHandler(OnChanged, this); }

  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  enum class StepKind { Lower, Upper, Up, Down };
  enum class Side { None, Up, Down };

  // The client rectangle, less the bevel when there is one.
  TRect TrackArea() const;
  // Lays the elements out again and repaints.
  void Relayout();
  void PressThumb(Qt::MouseButton button, int x, int y);
  void DragThumb(int x, int y);
  void ReleaseThumb(Qt::MouseButton button);
  void layoutElements();
  void buildRulerBitmap();
  void fitThumb();
  void prepareThumbPictures();
  void moveThumb(int p);
  void stepValue(StepKind kind);
  void repeatStep();
  void stopRepeating();
  Side hitSide(QPoint p) const;
  void invalidateThumb();
  void focusChanged(bool focused);
  QColor backgroundColor() const;
  const QImage &thumbImage() const;
  const QImage &rulerImage() const;
  bool vertical() const { return orientation_ == soVertical; }

  int value_ = 0;
  int min_ = 0;
  int max_ = 100;
  int increment_ = 10;
  TSliderOptions options_ = TSliderOptions(soShowFocus | soShowPoints | soSmooth);
  TPanelBevel bevel_ = bvNone;
  TSliderOrientation orientation_ = soHorizontal;
  int numThumbStates_ = 2;
  int edgeSize_ = 2;
  TColor color_ = clWindow;
  bool parentColor_ = true;

  std::array<QImage, 4> images_;
  int userImages_ = 0;
  QImage ruler_;                      // stretched ruler, in the slot's pixel format
  QImage rulerDrawable_;              // the same with its transparent colour cleared
  std::array<QImage, 2> thumbStates_; // normal and pressed/disabled, ready to draw

  TRect thumbRect_;
  QPoint rulerPos_;
  int marksTop_ = 0;
  int marksLeft_ = 0;

  bool constructing_ = true;
  bool reading_ = false;
  bool focused_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
  bool repeating_ = false;
  int dragOffset_ = 0;
  QPoint lastMouse_;
  Side repeatDirection_ = Side::None;
  QTimer repeatTimer_;
  QPainter *canvas_ = nullptr; // set while painting, for PaintMarks
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCustomValueSlider::TSliderOptions)

// The slider the windows place: publishes its properties by name so stored
// settings can reach them.
class TValueSlider final : public TCustomValueSlider {
  Q_OBJECT
  Q_PROPERTY(vantor::TCustomValueSlider::TPanelBevel BevelStyle READ bevelStyle WRITE setBevelStyle)
  Q_PROPERTY(uint Color READ color WRITE setColor)
  Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
  Q_PROPERTY(QImage ImageHThumb READ imageHThumb WRITE setImageHThumb RESET resetImageHThumb)
  Q_PROPERTY(QImage ImageHRuler READ imageHRuler WRITE setImageHRuler RESET resetImageHRuler)
  Q_PROPERTY(QImage ImageVThumb READ imageVThumb WRITE setImageVThumb RESET resetImageVThumb)
  Q_PROPERTY(QImage ImageVRuler READ imageVRuler WRITE setImageVRuler RESET resetImageVRuler)
  Q_PROPERTY(int Increment READ increment WRITE setIncrement)
  Q_PROPERTY(int MinValue READ minValue WRITE setMinValue)
  Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
  Q_PROPERTY(int NumThumbStates READ numThumbStates WRITE setNumThumbStates)
  Q_PROPERTY(vantor::TCustomValueSlider::TSliderOrientation Orientation READ orientation WRITE
                 setOrientation)
  Q_PROPERTY(int EdgeSize READ edgeSize WRITE setEdgeSize)
  Q_PROPERTY(vantor::TCustomValueSlider::TSliderOptions Options READ options WRITE setOptions)
  Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)
  Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)
  Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
  Q_PROPERTY(int Value READ value WRITE setValue)
  Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
  Q_PROPERTY(int UserImages READ userImages STORED false)

public:
  using TCustomValueSlider::TCustomValueSlider;

  QImage imageHThumb() const { return image(HThumb); }
  void setImageHThumb(const QImage &i) { setImage(HThumb, i); }
  void resetImageHThumb() { setImage(HThumb, {}); }
  QImage imageHRuler() const { return image(HRuler); }
  void setImageHRuler(const QImage &i) { setImage(HRuler, i); }
  void resetImageHRuler() { setImage(HRuler, {}); }
  QImage imageVThumb() const { return image(VThumb); }
  void setImageVThumb(const QImage &i) { setImage(VThumb, i); }
  void resetImageVThumb() { setImage(VThumb, {}); }
  QImage imageVRuler() const { return image(VRuler); }
  void setImageVRuler(const QImage &i) { setImage(VRuler, i); }
  void resetImageVRuler() { setImage(VRuler, {}); }
  bool showHint() const { return showHint_; }
  void setShowHint(bool on) { showHint_ = on; }

protected:
  bool event(QEvent *e) override;

private:
  bool showHint_ = true;
};

} // namespace vantor
