// The demo host on a real display, played from outside as a user would: each of
// its dialogs opens as a real window, is answered with real keys (XTest) and
// closes, and the host prints the answers. Skipped without DISPLAY.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// After gtest: Xlib's None macro would clash with a gtest type.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kWatchdog = 20s;
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
    if (host_ > 0) {
      kill(host_, SIGKILL);
      waitpid(host_, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  std::optional<unsigned long> Property(::Window window, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> value;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
      value = *reinterpret_cast<unsigned long*>(data);
    }
    if (data != nullptr) XFree(data);
    return value;
  }

  // Whether the host shows the window: its process id is the host's, or, from a
  // toolkit that names no process (GNUstep), its class is the host program's.
  bool OwnedByHost(::Window window) {
    if (const auto pid = Property(window, "_NET_WM_PID")) return *pid == static_cast<unsigned long>(host_);
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint) == 0) return false;
    const bool host = hint.res_name != nullptr && std::string(hint.res_name) == "zebhost";
    XFree(hint.res_name);
    XFree(hint.res_class);
    return host;
  }

  bool Viewable(::Window window, int* width = nullptr) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    if (width != nullptr) *width = std::min(attributes.width, attributes.height);
    return attributes.map_state == IsViewable;
  }

  // The host's dialog that has the keyboard, once one not answered yet has it.
  std::optional<::Window> WaitForDialog(const std::set<::Window>& answered) {
    for (const auto giveUp = Clock::now() + kWatchdog; Clock::now() < giveUp; std::this_thread::sleep_for(50ms)) {
      const auto active = Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW");
      if (!active || *active == 0 || answered.count(*active) != 0) continue;
      int size = 0;
      // The menu bar along the top of the screen (GNUstep's, a dock) is no dialog.
      const bool dock = Property(*active, "_NET_WM_WINDOW_TYPE") == XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False);
      if (!dock && OwnedByHost(*active) && Viewable(*active, &size) &&
          size >= kSmallestDialog) {
        return *active;
      }
    }
    return std::nullopt;
  }

  bool WaitUntilHidden(::Window window, std::chrono::milliseconds limit) {
    for (const auto giveUp = Clock::now() + limit; Clock::now() < giveUp; std::this_thread::sleep_for(50ms)) {
      if (!Viewable(window)) return true;
    }
    return false;
  }

  // Types the keys ("\x1f" is the Down arrow); keys after "ctrl+" are pressed
  // with Control.
  void Type(std::string keys) {
    const std::string control = "ctrl+";
    const KeySym modifier = keys.rfind(control, 0) == 0 ? XK_Control_L : 0;
    if (modifier != 0) keys.erase(0, control.size());
    const auto Press = [this](KeySym keysym, Bool down) {
      XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), down, CurrentTime);
    };
    if (modifier != 0) Press(modifier, True);
    for (const char key : keys) {
      const KeySym keysym = key == '\r'     ? XK_Return
                            : key == '\t'   ? XK_Tab
                            : key == '\x1f' ? XK_Down
                                            : static_cast<KeySym>(key);
      Press(keysym, True);
      Press(keysym, False);
    }
    if (modifier != 0) Press(modifier, False);
    XFlush(display_);
  }

  Display* display_ = nullptr;
  pid_t host_ = 0;
};

TEST_F(DemoOnDisplay, EveryDialogOpensIsAnsweredAndCloses) {
  char output[] = "/tmp/zebext-demo-XXXXXX";
  const int fd = mkstemp(output);
  ASSERT_GE(fd, 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
  char* const argv[] = {const_cast<char*>(ZEB_HOST_PATH), const_cast<char*>("demo"), nullptr};
  ASSERT_EQ(posix_spawn(&host_, ZEB_HOST_PATH, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(fd);

  // The question (Return: "Yes"), the line of text (typed over the selected
  // default), the colour (Return: "OK" with the colour it started with), the file
  // to open, the file to save and the folder (Return takes the default), the text
  // window (typed at the start of the text, then Control-Tab to its button and
  // Space, which presses the focused button with either toolkit).
  std::set<::Window> answered;
  const std::vector<std::vector<std::string>> answers = {{"\r"}, {"typed\r"}, {"\r"}, {"\r"},
                                                         {"\r"}, {"\r"},      {"more ", "ctrl+\t", " "}};
  for (const std::vector<std::string>& answer : answers) {
    const std::optional<::Window> dialog = WaitForDialog(answered);
    ASSERT_TRUE(dialog) << "no dialog for the answer " << answered.size() + 1;
    answered.insert(*dialog);
    // A file dialog still filling its list may miss the first keys: the user
    // tries again, while that dialog is still the one in front (keys typed again
    // as it closes would reach the next dialog).
    bool hidden = false;
    for (int attempt = 0; attempt < 5 && !hidden; ++attempt) {
      if (attempt > 0 && Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW") != *dialog) break;
      for (const std::string& keys : answer) Type(keys);
      hidden = WaitUntilHidden(*dialog, 5s);
    }
    hidden = hidden || WaitUntilHidden(*dialog, 5s);
    EXPECT_TRUE(hidden) << "dialog " << answered.size() << " stayed open";
  }

  // The pop-up menu: Down to its first item, then Return. The menu holds the
  // keyboard grab, so the keys reach it wherever the focus is; keys pressed before
  // it is up are pressed again.
  int status = -1;
  bool ended = false;
  for (int attempt = 0; attempt < 10 && !ended; ++attempt) {
    std::this_thread::sleep_for(500ms);
    if (waitpid(host_, &status, WNOHANG) != 0) {
      ended = true;
      break;
    }
    Type("\x1f\r");
  }
  for (const auto giveUp = Clock::now() + kWatchdog; !ended && Clock::now() < giveUp && waitpid(host_, &status, WNOHANG) == 0;) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(WIFEXITED(status)) << "the demo host did not end";
  host_ = 0;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::stringstream printed;
  printed << std::ifstream(output).rdbuf();
  unlink(output);
  EXPECT_NE(printed.str().find("as well?\") -> 1\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("\"hello\", 0) -> \"typed\"\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("GetColor(255, 200, 200) -> 255\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("*.conf\", 2) -> \"/etc/os-release\"\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("\"*.txt\", 0) -> \"/tmp/zebext-demo.txt\"\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("\"/tmp/\") -> \"/tmp/\"\n"), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find("\"Done\") -> \"more Edit this text, then press Done.\\nA second line.\"\n"),
            std::string::npos)
      << printed.str();
  EXPECT_NE(printed.str().find("\"Open|Save|-|Quit\", -1, 0) -> 1\n"), std::string::npos) << printed.str();
}

}  // namespace
