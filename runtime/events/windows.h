// Runtime windows: numbered objects wrapping a toolkit window, with a delegate that
// turns the window's notifications into events and a flipped content view.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/toolkit.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

// OpenWindow flags.
inline constexpr int32_t WindowInvisible = 0x0001;
inline constexpr int32_t WindowSizeable = 0x0002;
inline constexpr int32_t WindowClosable = 0x0004;
inline constexpr int32_t WindowTitled = 0x0008;
inline constexpr int32_t WindowZoomable = 0x0010;
inline constexpr int32_t WindowMinimizable = 0x0020;
inline constexpr int32_t WindowScreenCentered = 0x0040;
inline constexpr int32_t WindowBorderless = 0x0080;
inline constexpr int32_t WindowParentCentered = 0x0100;
inline constexpr int32_t WindowOpenZoomed = 0x0200;
inline constexpr int32_t WindowOpenMinimized = 0x0400;
inline constexpr int32_t WindowTitleBar = 0x0800;
inline constexpr int32_t WindowNoGadgetList = 0x1000;
inline constexpr int32_t WindowNoActivate = 0x2000;

// The window number the exports keep for windows of their own (the text window,
// the pop-up menu's, the colour panel's), each closing it before it returns.
inline constexpr int64_t kReservedWindow = 255;

// A coordinate that asks for centring (OpenWindow) or leaves a value unchanged.
inline constexpr int32_t IgnoreValue = -65535;

class ZebWindowEvents;

struct WindowRecord {
  platform::Window* window;  // the toolkit window; null when the number is free
  platform::Window* parent;
  ZebWindowEvents* events;
  platform::Window* previousKeyWindow;  // the key window when this one opened
};

// Creates the window registry and the gadget-list context. Run at load.
void InitWindows();

// The toolkit style mask for OpenWindow flags.
uint32_t WindowStyleForFlags(int32_t flags);

// Opens a window whose frame's top-left corner is (x, y) from the top-left of the
// main screen, with a content area of width x height. Returns the toolkit window
// for a chosen number, the new number for the dynamic number -1, or 0 when the
// toolkit refuses the window.
int64_t OpenWindow(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const Unit* title,
                   int32_t flags, platform::Window* parent = nullptr);

// Closes one window, or every window for -1.
void CloseWindow(int64_t number);

platform::Window* WindowID(int64_t number);
// The runtime number of a toolkit window, or -1 for a window that is not ours.
int64_t WindowNumber(const platform::Window* window);
WindowRecord* FindWindowRecord(int64_t number);
// Every runtime window, in the registry's order.
std::vector<platform::Window*> RuntimeWindows();
// Called by a window's delegate as the window closes.
void ForgetWindowRecord(int64_t number);

// The frame's size, or with inner set the content's; 0 for an unknown number.
int64_t WindowWidth(int64_t number, int inner);
int64_t WindowHeight(int64_t number, int inner);
// Keeps the window above normal windows, or puts it back among them.
void StickyWindow(int64_t number, int state);

}  // namespace zeb
