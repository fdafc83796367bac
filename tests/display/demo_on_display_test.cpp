// The demo host on a real display, played from outside as a user would: each of
// its dialogs opens as a real window, is answered with real keys (XTest) and
// closes, and the host prints the answers. Skipped without DISPLAY.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/host_run.h"

// After gtest: Xlib's None macro would clash with a gtest type.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace zeb {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Windows smaller than this are not dialogs.
constexpr int kSmallestDialog = 20;

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

class DemoOnDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) GTEST_SKIP() << "no display";
    XSetErrorHandler(IgnoreXErrors);
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  ::Window Property(::Window window, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    const ::Window value = data != nullptr && count == 1 && format == 32 ? *reinterpret_cast<unsigned long*>(data) : 0;
    if (data != nullptr) XFree(data);
    return value;
  }
  ::Window Active() { return Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW"); }

  // Whether the host shows the window: the process its _NET_WM_PID names is the
  // host program, or, from a toolkit that names no process (GNUstep), its class is.
  bool OwnedByHost(::Window window) {
    if (const ::Window pid = Property(window, "_NET_WM_PID")) {
      std::string name;
      std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
      return name == "zebhost";
    }
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint) == 0) return false;
    const bool host = hint.res_name != nullptr && std::string(hint.res_name) == "zebhost";
    XFree(hint.res_name);
    XFree(hint.res_class);
    return host;
  }

  bool Viewable(::Window window, int* size = nullptr) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    if (size != nullptr) *size = std::min(attributes.width, attributes.height);
    return attributes.map_state == IsViewable;
  }

  // The host's dialog that has the keyboard, once one not answered yet has it; the
  // menu bar along the top of the screen (GNUstep's, a dock) is no dialog.
  std::optional<::Window> WaitForDialog(const std::set<::Window>& answered) {
    const Atom dock = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False);
    for (const auto giveUp = Clock::now() + 20s; Clock::now() < giveUp; std::this_thread::sleep_for(50ms)) {
      const ::Window active = Active();
      int size = 0;
      if (active != 0 && answered.count(active) == 0 && Property(active, "_NET_WM_WINDOW_TYPE") != dock &&
          OwnedByHost(active) && Viewable(active, &size) && size >= kSmallestDialog) {
        return active;
      }
    }
    return std::nullopt;
  }

  bool WaitUntilHidden(::Window window) {
    for (const auto giveUp = Clock::now() + 5s; Clock::now() < giveUp; std::this_thread::sleep_for(50ms)) {
      if (!Viewable(window)) return true;
    }
    return false;
  }

  // Types the keys ("\x1f" is the Down arrow); keys after "ctrl+" are pressed
  // with Control.
  void Type(std::string keys) {
    const bool control = keys.rfind("ctrl+", 0) == 0;
    if (control) keys.erase(0, 5);
    const auto Press = [this](KeySym keysym, Bool down) {
      XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), down, CurrentTime);
    };
    if (control) Press(XK_Control_L, True);
    for (const char key : keys) {
      const KeySym keysym = key == '\r' ? XK_Return : key == '\t' ? XK_Tab : key == '\x1f' ? XK_Down : KeySym(key);
      Press(keysym, True);
      Press(keysym, False);
    }
    if (control) Press(XK_Control_L, False);
    XFlush(display_);
  }

  // The user: answers each dialog as it comes, then the pop-up menu.
  void Play(const bool& ended) {
    // The question (Return: "Yes"), the line of text (typed over the selected
    // default), the colour (Return: "OK" with the colour it started with), the file
    // to open, the file to save and the folder (Return takes the default), the text
    // window (typed at the start of the text, then Control-Tab to its button and
    // Space, which presses the focused button with either toolkit).
    const std::vector<std::vector<std::string>> answers = {{"\r"}, {"typed\r"}, {"\r"}, {"\r"},
                                                           {"\r"}, {"\r"},      {"more ", "ctrl+\t", " "}};
    std::set<::Window> answered;
    for (const std::vector<std::string>& answer : answers) {
      const std::optional<::Window> dialog = WaitForDialog(answered);
      if (!dialog) return ADD_FAILURE() << "no dialog for the answer " << answered.size() + 1;
      answered.insert(*dialog);
      // A file dialog still filling its list may miss the first keys: the user
      // tries again, while that dialog is still the one in front (keys typed again
      // as it closes would reach the next dialog).
      bool hidden = false;
      for (int attempt = 0; attempt < 5 && !hidden && (attempt == 0 || Active() == *dialog); ++attempt) {
        for (const std::string& keys : answer) Type(keys);
        hidden = WaitUntilHidden(*dialog);
      }
      EXPECT_TRUE(hidden || WaitUntilHidden(*dialog)) << "dialog " << answered.size() << " stayed open";
    }
    // The pop-up menu: Down to its first item, then Return. The menu holds the
    // keyboard grab, so the keys reach it wherever the focus is; keys pressed before
    // it is up are pressed again.
    for (int attempt = 0; attempt < 10 && !ended; ++attempt) {
      std::this_thread::sleep_for(500ms);
      if (!ended) Type("\x1f\r");
    }
  }

  Display* display_ = nullptr;
};

TEST_F(DemoOnDisplay, EveryDialogOpensIsAnsweredAndCloses) {
  bool ended = false;
  std::thread user([&] { Play(ended); });
  const testing::HostRun run = testing::RunHost({"demo"});
  ended = true;
  user.join();
  EXPECT_EQ(run.status, 0) << "the demo host did not end cleanly";
  for (const char* line : {"as well?\") -> 1\n", "\"hello\", 0) -> \"typed\"\n", "GetColor(255, 200, 200) -> 255\n",
                           "*.conf\", 2) -> \"/etc/os-release\"\n", "\"*.txt\", 0) -> \"/tmp/zebext-demo.txt\"\n",
                           "\"/tmp/\") -> \"/tmp/\"\n",
                           "\"Done\") -> \"more Edit this text, then press Done.\\nA second line.\"\n",
                           "\"Open|Save|-|Quit\", -1, 0) -> 1\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << " in\n" << run.output;
  }
}

}  // namespace
}  // namespace zeb
