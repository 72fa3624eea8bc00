#pragma once

#include "controls/form.h"
#include "controls/picbtn.h"
#include "platform/clock.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"

#include <QGuiApplication>
#include <QImage>
#include <QStringList>
#include <QStyleHints>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>

namespace vantor::test {

// A strip whose every row has its own colour, so a shown frame tells its rows.
inline QImage rowCodedStrip(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(y, x, 100));
  return image;
}

// A form with one button, a fake clock and a fake cursor.
class PicBtnFixture : public ::testing::Test {
protected:
  void SetUp() override {
    doubleClickBefore_ = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(kDoubleClickInterval);
    platform::setTickSource([this] { return now; });
    platform::setCursorSource([this] { return cursor; });
    messages = std::make_unique<ScopedMessagePresenter>(
        [this](const UserMessage &message) { reports << message.text; });
    form = std::make_unique<TForm>();
    form->resize(200, 200);
    button = new TPicBtn(form.get());
    button->move(20, 30);
    button->OnCommand = [this](QObject *sender) {
      EXPECT_EQ(sender, button);
      ++commands;
    };
    button->OnClick = [this](QObject *sender) {
      EXPECT_EQ(sender, button);
      ++clicks;
    };
  }
  void TearDown() override {
    form.reset();
    platform::setTickSource({});
    platform::setCursorSource({});
    messages.reset();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(doubleClickBefore_);
  }

  // The main window's usual three-frame, 26-pixel button.
  void useThreeFrames() {
    button->maskedPicture()->setPicture(rowCodedStrip(26, 78));
    button->setNumStates(3);
    button->setsActive(1);
    button->setsInActive(2);
    button->setsDisabled(3);
    button->setsDown(2);
  }
  void cursorOnButton(QPoint local = {5, 5}) { cursor = button->mapToGlobal(local); }
  void cursorOffButton() { cursor = button->mapToGlobal(QPoint(-40, -40)); }
  // Advances the fake clock one millisecond per repeat tick up to `until`,
  // across the clock's wrap too.
  void tickUntil(std::uint32_t until) {
    while (static_cast<std::int32_t>(until - now) > 0) {
      ++now;
      button->repeatTick();
    }
  }

  // A button that repeats sooner than a click waits this long instead.
  static constexpr int kDoubleClickInterval = 400;
  std::uint32_t now = 1000;
  QPoint cursor;
  QStringList reports;
  std::unique_ptr<ScopedMessagePresenter> messages;
  std::unique_ptr<TForm> form;
  TPicBtn *button = nullptr;
  int commands = 0;
  int clicks = 0;

private:
  int doubleClickBefore_ = 0;
};

} // namespace vantor::test
