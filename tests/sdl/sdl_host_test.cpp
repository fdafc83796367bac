// The library inside a game engine's process: an SDL2 window on the test display
// that owns the clipboard itself and serves it only from its own event loop, the
// exports called from that loop's thread. With window-manager events on, the host's
// loop sees every X event SDL handles, so the test counts the clipboard requests
// the host is sent. Skipped without a display.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "extension/exports.h"
#include "platform/gtk/gtk_automation.h"
#include "tests/foreign_copy.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

using namespace std::chrono_literals;

// About 1 MiB of UTF-8 with characters of every length, beyond U+FFFF among them.
std::string LargeText() {
  std::string text;
  while (text.size() < (size_t{1} << 20)) text += "from sdl \xE2\x9C\x93 \xF0\x9F\x98\x80 caf\xC3\xA9\n";
  return text;
}

class SdlHost : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::AutomatedBackend backend = platform::MakeGtkBackend();
    if (backend.toolkit == nullptr) GTEST_SKIP() << "no display here: run under an X server (Xvfb)";
    automation_ = std::move(backend.automation);
    StartRuntime(std::move(backend.toolkit));
    // Like a game, the host starts SDL once and leaves it running until the process
    // ends (SDL_Quit unloads the X extension libraries SDL loaded, whose memory
    // would then show as leaked without a name).
    static const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    ASSERT_TRUE(started) << SDL_GetError();
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    window_ = SDL_CreateWindow("SDL host", 200, 200, 320, 240, SDL_WINDOW_SHOWN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    ASSERT_TRUE(FramesUntil([&] { return focused_; })) << "the host's window never got the keyboard";
  }
  void TearDown() override {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (automation_ == nullptr) return;
    EXPECT_EQ(automation_->WatchdogEndings(), 0);
    automation_.reset();
    StopRuntime();
  }

  // One frame of the host's loop: every SDL event is taken, clipboard requests and
  // key presses counted, and the window drawn.
  void Frame() {
    for (SDL_Event event; SDL_PollEvent(&event);) {
      if (event.type == SDL_SYSWMEVENT && event.syswm.msg->msg.x11.event.type == SelectionRequest) ++requests_;
      if (event.type == SDL_KEYDOWN) ++keys_;
      if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) focused_ = true;
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) focused_ = false;
      }
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 40, 90, 160));
    SDL_UpdateWindowSurface(window_);
    SDL_Delay(16);
  }
  // Runs frames until `done` holds; false after 10 s.
  template <typename Done>
  bool FramesUntil(Done done) {
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      Frame();
    }
    return true;
  }
  // The host copies, and its loop runs until our library has fetched the copy.
  void HostCopies(const std::string& text) {
    SDL_SetClipboardText(text.c_str());
    const int before = requests_;
    ASSERT_TRUE(FramesUntil([&] { return requests_ > before; })) << "nobody asked the host for its copy";
  }

  std::unique_ptr<platform::Automation> automation_;
  SDL_Window* window_ = nullptr;
  int requests_ = 0;
  int keys_ = 0;
  bool focused_ = false;
};

TEST_F(SdlHost, ReadsWhatTheHostCopiedWithoutAskingItAgainAndTheHostReadsOurs) {
  for (const std::string& text : {std::string("from sdl \xE2\x9C\x93 \xF0\x9F\x98\x80"), LargeText()}) {
    HostCopies(text);
    const int fetched = requests_;
    // The host's thread is inside our call and cannot answer: the text comes from the copy.
    EXPECT_TRUE(ClipboardGetText() == text) << text.size() << " bytes";
    EXPECT_TRUE(ClipboardGetText() == text);
    for (int frame = 0; frame < 5; ++frame) Frame();
    EXPECT_EQ(requests_, fetched) << "a read asked the host, which cannot answer from inside the call";
  }

  for (const char* text : {"from zeb \xE2\x9C\x93 \xF0\x9F\x98\x80", ""}) {
    EXPECT_EQ(ClipboardSetText(text), 0);
    char* pasted = SDL_GetClipboardText();
    EXPECT_STREQ(pasted, text);
    SDL_free(pasted);
  }
}

TEST_F(SdlHost, FollowsAnotherProgramTakingTheClipboardAndTheHostTakingItBack) {
  HostCopies("first copy");
  EXPECT_STREQ(ClipboardGetText(), "first copy");

  const ForeignCopy xclip("from xclip", "UTF8_STRING");
  EXPECT_TRUE(FramesUntil([] { return std::string(ClipboardGetText()) == "from xclip"; }));

  HostCopies("second copy");
  EXPECT_STREQ(ClipboardGetText(), "second copy");
}

TEST_F(SdlHost, DialogsTakeRealKeysAndTheHostsLoopGoesOnAfterwards) {
  automation_->WhenModal([&] { automation_->TypeText(u"Ada\r"); });
  EXPECT_STREQ(GetString("Name", "Your name:", "", 0), "Ada");
  automation_->WhenModal([&] { automation_->TypeText(u"\r"); });
  EXPECT_EQ(ShowQuestion("Quit?", "The game ends."), 1);

  // The host's window has the keyboard again, and a key pressed there reaches its loop.
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  ASSERT_TRUE(SDL_GetWindowWMInfo(window_, &info));
  const bool focusBack = FramesUntil([&] {
    ::Window focus;
    int revert;
    XGetInputFocus(display, &focus, &revert);
    return focus == info.info.x11.window;
  });
  EXPECT_TRUE(focusBack) << "the host's window did not get the keyboard back";
  const KeyCode key = XKeysymToKeycode(display, XK_space);
  XTestFakeKeyEvent(display, key, True, CurrentTime);
  XTestFakeKeyEvent(display, key, False, CurrentTime);
  XFlush(display);
  EXPECT_TRUE(FramesUntil([&] { return keys_ > 0; }));
  XCloseDisplay(display);
}

}  // namespace
}  // namespace zeb
