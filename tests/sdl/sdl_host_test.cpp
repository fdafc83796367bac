// The library inside a game engine's process: an SDL2 window on the test display
// that owns the clipboard itself and serves it only from its own event loop, the
// exports called from that loop's thread. With window-manager events on, the host's
// loop sees every X event SDL handles, so the test counts the clipboard requests
// the host is sent. SDL moves its window's _NET_WM_USER_TIME on with every key the
// player presses, as a window manager that prevents focus stealing (mutter) expects.
// Skipped without a display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

// A number result as the host would print it.
std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
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
  // The player presses a key in the game: its window has the keyboard and its loop
  // sees the key.
  bool PlayerPressesAKey(Display* display) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_GetWindowWMInfo(window_, &info);
    const auto HasTheKeyboard = [&] {
      ::Window focus;
      int revert;
      XGetInputFocus(display, &focus, &revert);
      return focused_ && focus == info.info.x11.window;
    };
    if (!FramesUntil(HasTheKeyboard)) {
      ADD_FAILURE() << "the game's window did not get the keyboard back";
      return false;
    }
    const int before = keys_;
    const KeyCode key = XKeysymToKeycode(display, XK_space);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XFlush(display);
    const bool seen = FramesUntil([&] { return keys_ > before; });
    EXPECT_TRUE(seen) << "the game did not see the player's key";
    return seen;
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

// The host's copy is read without asking the host again, the host reads ours, and
// another program's copy is followed.
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
  // A read made before the new copy was fetched waits for the host and gets the new text.
  SDL_SetClipboardText("newer \xE2\x9C\x93");
  auto read = std::async(std::launch::async, [] { return std::string(ClipboardGetText()); });
  EXPECT_TRUE(FramesUntil([&] { return read.wait_for(0s) == std::future_status::ready; }));
  EXPECT_EQ(read.get(), "newer \xE2\x9C\x93");

  for (const char* text : {"from zeb \xE2\x9C\x93 \xF0\x9F\x98\x80", ""}) {
    EXPECT_EQ(ClipboardSetText(text), 0);
    char* pasted = SDL_GetClipboardText();
    EXPECT_STREQ(pasted, text);
    SDL_free(pasted);
  }

  // Another program takes the clipboard over, then the host takes it back.
  {
    const ForeignCopy xclip("from xclip", "UTF8_STRING");
    EXPECT_TRUE(FramesUntil([] { return std::string(ClipboardGetText()) == "from xclip"; }));
  }
  HostCopies("second copy");
  EXPECT_STREQ(ClipboardGetText(), "second copy");
}

// Each dialog takes the keyboard although the player's last key went to the game,
// however many dialogs came before: the player answers each with keys alone.
TEST_F(SdlHost, EachDialogTakesTheKeyboardAfterThePlayerPressesAKey) {
  char folderName[] = "/tmp/zebext-focus-XXXXXX";
  ASSERT_NE(mkdtemp(folderName), nullptr);
  const std::string folder = folderName;
  std::ofstream(folder + "/level.txt") << "level";
  std::filesystem::create_directory(folder + "/saves");
  struct KeyAnswer {
    const char* dialog;
    std::u16string keys;  // in the text window, typed before Control-Tab to its button and Return
    std::function<std::string()> open;
    std::string expected;
  };
  const std::vector<KeyAnswer> dialogs = {
      {"ShowQuestion", u"\r", [] { return Number(ShowQuestion("Quit?", "The game ends.")); }, "1"},
      {"GetString", u"Ada\r", [] { return std::string(GetString("Name", "Your name:", "", 0)); }, "Ada"},
      {"GetColor", u"\r", [] { return Number(GetColor(65280, 0, 0)); }, "65280"},
      {"GetOpenFile", u"\r", [&] { return std::string(GetOpenFile("Open", (folder + "/level.txt").c_str(), "", 0)); },
       folder + "/level.txt"},
      {"GetSaveFile", u"\r", [&] { return std::string(GetSaveFile("Save", (folder + "/saved.txt").c_str(), "", 0)); },
       folder + "/saved.txt"},
      {"GetDirectory", u"\r", [&] { return std::string(GetDirectory("Folder", (folder + "/saves/").c_str())); },
       folder + "/saves/"},
      {"GetText", u"new ", [] { return std::string(GetText("400,300", "Notes", "kept", "Done")); }, "new kept"},
  };
  platform::Automation& user = *automation_;
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  // A dialog left without the keyboard is ended by the watchdog: the rounds stop there.
  bool answered = true;
  for (int round = 1; round <= 3 && answered; ++round) {
    for (auto dialog = dialogs.begin(); dialog != dialogs.end() && answered; ++dialog) {
      answered = PlayerPressesAKey(display);
      if (!answered) break;
      const std::u16string keys = dialog->keys;
      if (std::string(dialog->dialog) == "GetText") {
        user.WhenKey({[&] { user.TypeText(keys); }, [&] { user.PressKey(u'\t', platform::ModifierCommand); },
                      [&] { user.TypeText(u"\r"); }});
      } else {
        // The player reads the dialog (a file dialog's list holds still) before typing.
        user.WhenModal([&] {
          user.ModalWindowContents();
          user.TypeText(keys);
        });
      }
      const std::string answer = dialog->open();
      EXPECT_EQ(answer, dialog->expected) << dialog->dialog << " in round " << round;
      answered = answer == dialog->expected;
    }
  }
  XCloseDisplay(display);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zeb
