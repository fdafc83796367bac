// A user at the X display, outside the program under test: waits for a window of
// that program to hold the keyboard and answers it with real keys (XTest). For the
// demo host on either toolkit and the AppKit guest.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// After gtest: Xlib's None macro would clash with a gtest type.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace zeb::testing {

class DisplayUser {
 public:
  // The user answers the windows of the program of this name.
  explicit DisplayUser(std::string program) : program_(std::move(program)), display_(XOpenDisplay(nullptr)) {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  ~DisplayUser() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  bool connected() const { return display_ != nullptr; }

  // Answers each window as it comes with its keys. A file dialog still filling
  // its list may miss the first keys: the user tries again, while that window is
  // still the one in front (keys typed again as it closes would reach the next).
  void Answer(const std::vector<std::vector<std::string>>& answers) {
    for (const std::vector<std::string>& answer : answers) {
      const std::optional<::Window> dialog = WaitForWindow();
      if (!dialog) return ADD_FAILURE() << "no window of " << program_ << " for the answer " << answered_.size() + 1;
      answered_.insert(*dialog);
      bool hidden = false;
      for (int attempt = 0; attempt < 5 && !hidden && (attempt == 0 || Active() == *dialog); ++attempt) {
        for (const std::string& keys : answer) Type(keys);
        hidden = WaitUntilHidden(*dialog);
      }
      EXPECT_TRUE(hidden || WaitUntilHidden(*dialog)) << "window " << answered_.size() << " stayed open";
    }
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

 private:
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

  // Whether the program shows the window: the process its _NET_WM_PID names is
  // the program, or, from a toolkit that names no process (GNUstep), its class is.
  bool Shows(::Window window) {
    if (const ::Window pid = Property(window, "_NET_WM_PID")) {
      std::string name;
      std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
      return name == program_.substr(0, 15);
    }
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint) == 0) return false;
    const bool shows = hint.res_name != nullptr && hint.res_name == program_;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return shows;
  }

  bool Viewable(::Window window, int* size = nullptr) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    if (size != nullptr) *size = std::min(attributes.width, attributes.height);
    return attributes.map_state == IsViewable;
  }

  // The program's window that has the keyboard, once one not answered yet has it;
  // a menu bar along the top of the screen (GNUstep's, a dock) and windows smaller
  // than a dialog are not answered.
  std::optional<::Window> WaitForWindow() {
    const Atom dock = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (; std::chrono::steady_clock::now() < giveUp; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
      const ::Window active = Active();
      int size = 0;
      if (active != 0 && answered_.count(active) == 0 && Property(active, "_NET_WM_WINDOW_TYPE") != dock &&
          Shows(active) && Viewable(active, &size) && size >= 20) {
        return active;
      }
    }
    return std::nullopt;
  }

  bool WaitUntilHidden(::Window window) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (; std::chrono::steady_clock::now() < giveUp; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
      if (!Viewable(window)) return true;
    }
    return false;
  }

  const std::string program_;
  Display* const display_;
  std::set<::Window> answered_;
};

}  // namespace zeb::testing
