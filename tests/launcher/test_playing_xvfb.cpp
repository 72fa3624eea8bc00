// While a game runs, the main window answers the desktop's pings on a real
// X server (run by xvfb-run), as a window that is not frozen does.
#include "playfixture.h"

#include <QGuiApplication>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace vantor;

namespace {

// Waits for the game's "go" file, so the test decides when it ends.
const char *WaitingEmulator = R"(#!/bin/sh
i=0
while [ ! -f go ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i + 1)); done
)";

struct XcbDisconnect {
  void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, uint16_t(strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

class PingWhilePlaying : public test::Play {};

TEST_F(PingWhilePlaying, TheWindowAnswersPingsWhileTheGameRuns) {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    GTEST_SKIP() << "needs a real X server";
  makeZip(root + "/roms/pacman.zip", {"pacman.p1"});
  writeEmulator(WaitingEmulator);
  configure();
  main.OnShow = {}; // the settings are the test's, not the stored ones
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  callHandler(main.play->OnClick, main.play);
  ASSERT_TRUE(
      test::turnEventLoopUntil([this] { return main.playing() && QFileInfo::exists(scratch()); }));

  // A second client, as a window manager would be: it sees what windows send
  // to the root window. Chosen only now, so the window was mapped as usual.
  std::unique_ptr<xcb_connection_t, XcbDisconnect> x(xcb_connect(nullptr, nullptr));
  ASSERT_EQ(xcb_connection_has_error(x.get()), 0);
  const xcb_window_t rootWindow = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
  std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> refused(
      xcb_request_check(x.get(), xcb_change_window_attributes_checked(x.get(), rootWindow,
                                                                      XCB_CW_EVENT_MASK, &mask)),
      &std::free);
  ASSERT_FALSE(refused) << "another client manages the windows";

  const xcb_atom_t protocols = atom(x.get(), "WM_PROTOCOLS");
  const xcb_atom_t ping = atom(x.get(), "_NET_WM_PING");
  const auto window = xcb_window_t(main.winId());
  constexpr uint32_t kStamp = 424242;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = protocols;
  event.data.data32[0] = ping;
  event.data.data32[1] = kStamp;
  event.data.data32[2] = window;
  xcb_send_event(x.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char *>(&event));
  xcb_flush(x.get());

  bool answered = false;
  EXPECT_TRUE(test::turnEventLoopUntil(
      [&] {
        while (xcb_generic_event_t *raw = xcb_poll_for_event(x.get())) {
          std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> got(raw, &std::free);
          if ((got->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            continue;
          const auto *reply = reinterpret_cast<const xcb_client_message_event_t *>(raw);
          answered |= reply->window == rootWindow && reply->data.data32[0] == ping &&
                      reply->data.data32[1] == kStamp;
        }
        return answered;
      },
      5000))
      << "no answer to the ping";
  EXPECT_TRUE(main.playing());

  dir.write("my games/neo emu/go");
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

} // namespace
