#pragma once

#include "controls/colors.h"
#include "controls/rotarydialgeometry.h"
#include "platform/events.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>

class QPainter;

namespace vantor {

// A circular selector: a knob with a red pointer turned by mouse or keys over
// a 270-degree scale, holding a Position in 0..Max.
class TRotaryDial : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Max READ max WRITE setMax)
  Q_PROPERTY(int Position READ position WRITE setPosition)
  Q_PROPERTY(bool PrintValues READ printValues WRITE setPrintValues)
  Q_PROPERTY(TWhereSoundStore SoundType READ soundType WRITE setSoundType)
  Q_PROPERTY(QString SoundChange READ soundChange WRITE setSoundChange)
  Q_PROPERTY(QString ResourceType READ resourceType WRITE setResourceType)
  Q_PROPERTY(int WaveOptions READ waveOptionBits WRITE setWaveOptionBits)
  Q_PROPERTY(bool DrawFocused READ drawFocused WRITE setDrawFocused)
  Q_PROPERTY(bool DrawTicks READ drawTicks WRITE setDrawTicks)
  Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
  enum TWhereSoundStore { wssExe, wssWav, wssNone };
  Q_ENUM(TWhereSoundStore)
  enum TWaveOption { woSync, woNoDefault, woLoop, woNoStop };
  Q_ENUM(TWaveOption)

  // A set of wave options in one byte, bit n for the option of ordinal n.
  class TWaveOptions final {
  public:
    constexpr TWaveOptions() = default;
    constexpr TWaveOptions(std::initializer_list<TWaveOption> options) {
      for (TWaveOption option : options)
        bits_ |= bit(option);
    }
    static constexpr TWaveOptions fromBits(std::uint8_t bits) {
      TWaveOptions options;
      options.bits_ = bits;
      return options;
    }
    constexpr bool contains(TWaveOption option) const { return bits_ & bit(option); }
    constexpr std::uint8_t bits() const { return bits_; }
    friend constexpr bool operator==(TWaveOptions, TWaveOptions) = default;

  private:
    static constexpr std::uint8_t bit(TWaveOption option) { return std::uint8_t(1u << option); }
    std::uint8_t bits_ = 0;
  };

  explicit TRotaryDial(QWidget *parent = nullptr);

  int max() const { return max_; }
  // Any Max from 0 up is kept; a negative one is ignored.
  void setMax(int value);
  int position() const { return position_; }
  // Clamped to 0..Max; redraws the pointer at once, then fires OnChange and
  // plays the change sound.
  void setPosition(int value);
  bool printValues() const { return printValues_; }
  void setPrintValues(bool value);
  TWhereSoundStore soundType() const { return soundType_; }
  void setSoundType(TWhereSoundStore value) { soundType_ = value; }
  QString soundChange() const { return soundChange_; }
  void setSoundChange(const QString &value) { soundChange_ = value; }
  QString resourceType() const { return resourceType_; }
  void setResourceType(const QString &value) { resourceType_ = value; }
  TWaveOptions waveOptions() const { return waveOptions_; }
  void setWaveOptions(TWaveOptions value) { waveOptions_ = value; }
  bool drawFocused() const { return drawFocused_; }
  void setDrawFocused(bool value) { drawFocused_ = value; }
  bool drawTicks() const { return drawTicks_; }
  void setDrawTicks(bool value);
  TColor color() const { return color_; }
  void setColor(TColor value);

  // Fired with the dial as sender when setting Position changed it.
  TNotifyEvent OnChange;

  // The layout and pointer as last worked out; a press is tested on the
  // pointer as drawn (dial::drawnPointer).
  const dial::StepLayout &stepLayout() const { return layout_; }
  dial::PointerAngles pointerAngles() const { return pointer_; }
  bool isDragging() const { return dragging_; }
  // The system sound flags that WaveOptions stand for.
  unsigned soundFlags() const;

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;

  // The three drawing steps, in painting order.
  virtual void PaintScale(QPainter &painter);
  virtual void PaintKnob(QPainter &painter);
  virtual void PaintPointer(QPainter &painter);

private:
  int waveOptionBits() const { return waveOptions_.bits(); }
  void setWaveOptionBits(int bits) { waveOptions_ = TWaveOptions::fromBits(std::uint8_t(bits)); }

  void updateLayout();
  QPoint centre() const { return {width() / 2, width() / 2}; }
  QRectF insetBox(int inset) const;
  QRect knobFaceRect() const;
  QRect valueBoxRect() const;
  void drawLabel(QPainter &painter, int angle, const QString &text);
  void playChangeSound();

  static constexpr int kLowerBound = 0;

  int max_ = 10;
  int position_ = 0;
  bool printValues_ = false;
  TWhereSoundStore soundType_ = wssWav;
  QString soundChange_;
  QString resourceType_;
  TWaveOptions waveOptions_{woSync, woNoDefault, woNoStop};
  bool drawFocused_ = false;
  bool drawTicks_ = true;
  TColor color_ = clWindow;

  dial::Metrics metrics_ = dial::metricsFor(false);
  dial::StepLayout layout_{};
  dial::PointerAngles pointer_{};
  bool dragging_ = false;
};

} // namespace vantor
