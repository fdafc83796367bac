#include "runtime/events/windows.h"

#include "runtime/core/object_registry.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/events/event_bindings.h"
#include "runtime/events/gadget_list.h"
#include "runtime/events/window_events.h"
#include "runtime/menus/menus.h"

namespace zeb {
namespace {

constexpr int32_t kWindowGrowthStep = 8;
// Flags that make a window titled, resizable or miniaturizable.
constexpr int32_t kTitledFlags = 0x083E;
constexpr int32_t kResizableFlags = 0x0212;
constexpr int32_t kMiniaturizableFlags = 0x0420;
constexpr int32_t kZoomableOrMinimizable = 0x0030;

ObjectRegistry* windows = nullptr;
// While every window closes, no window is made key on the way.
bool closingAll = false;

void ReleaseWindow(int64_t number) { CloseWindow(number); }

// The window that becomes key when the key window `closing` goes: the window that
// was key when it opened, if still visible, else the first visible window.
void RestorePreviousKeyWindow(const WindowRecord& closing) {
  platform::Window* firstVisible = nullptr;
  ResetObjectEnumeration(windows);
  int64_t number = 0;
  while (auto* record = static_cast<WindowRecord*>(NextObject(windows, &number))) {
    if (record->window == closing.window) continue;
    if (record->window == closing.previousKeyWindow) {
      AbortObjectEnumeration(windows);
      if (record->window->IsVisible()) {
        record->window->MakeKey();
        return;
      }
      break;
    }
    if (firstVisible == nullptr && record->window->IsVisible()) firstVisible = record->window;
  }
  if (firstVisible != nullptr) firstVisible->MakeKey();
}

// Centres the frame over `over` (another window), keeping its size.
void CentreOver(platform::Window* window, const platform::Window* over) {
  const platform::Rect frame = window->Frame();
  const platform::Rect parent = over->Frame();
  window->SetFrame({parent.x + (parent.width - frame.width) * 0.5, parent.y + (parent.height - frame.height) * 0.5,
                    frame.width, frame.height});
}

}  // namespace

void InitWindows() {
  if (windows == nullptr) windows = NewObjectRegistry(sizeof(WindowRecord), kWindowGrowthStep, ReleaseWindow);
  ZebGadgetList::InitContext();
}

uint32_t WindowStyleForFlags(int32_t flags) {
  if ((flags & WindowBorderless) != 0) return 0;
  if ((flags & kZoomableOrMinimizable) != 0) flags |= WindowClosable;
  uint32_t style = 0;
  if ((flags & kTitledFlags) != 0) style |= platform::StyleTitled;
  if ((flags & WindowClosable) != 0) style |= platform::StyleClosable;
  if ((flags & kResizableFlags) != 0) style |= platform::StyleResizable;
  if ((flags & kMiniaturizableFlags) != 0) style |= platform::StyleMiniaturizable;
  return style;
}

int64_t OpenWindow(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const Unit* title,
                   int32_t flags, platform::Window* parent) {
  if (windows == nullptr) return 0;
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  if (x == IgnoreValue || y == IgnoreValue) flags |= WindowScreenCentered;
  const uint32_t style = WindowStyleForFlags(flags);
  // (x, y) is the frame's top-left corner; the content lies inside the decoration.
  const platform::FrameExtents extents = toolkit.ExtentsForStyle(style);
  platform::Window* window =
      toolkit.CreateWindow({x + extents.left, y + extents.top, static_cast<double>(width), static_cast<double>(height)},
                           style);
  if (window == nullptr) return 0;

  auto* record = static_cast<WindowRecord*>(AllocateObject(windows, number));
  if (record == nullptr) {
    window->Close();
    return 0;
  }
  const bool dynamic = number == -1;
  if (dynamic) number = static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
  record->window = window;
  record->events = new ZebWindowEvents(window, number);
  record->previousKeyWindow = toolkit.KeyWindow();
  window->SetTitle(StringToToolkitString(title));

  if (parent != nullptr) {
    if ((flags & WindowInvisible) == 0) parent->AddChildWindow(window);
    record->parent = parent;
  }
  if ((flags & WindowScreenCentered) != 0) {
    window->Center();
  } else if ((flags & WindowParentCentered) != 0) {
    if (const platform::Window* over = parent != nullptr ? parent : toolkit.KeyWindow()) CentreOver(window, over);
  }
  if ((flags & WindowInvisible) == 0) {
    if ((flags & WindowNoActivate) != 0) {
      window->OrderFront();
    } else {
      window->MakeKeyAndOrderFront();
    }
  }
  if ((flags & WindowOpenMinimized) != 0) {
    window->Miniaturize();
  } else if ((flags & WindowOpenZoomed) != 0) {
    window->Zoom();
  }
  window->SetContentView(toolkit.CreateView(std::make_unique<ZebFlippedWindowView>(number)));
  if ((flags & WindowNoGadgetList) == 0) ZebGadgetList::SetWindow(window);
  return dynamic ? number : static_cast<int64_t>(reinterpret_cast<intptr_t>(window));
}

void CloseWindow(int64_t number) {
  if (windows == nullptr) return;
  if (number == -1) {
    closingAll = true;
    FreeAllObjects(windows);
    closingAll = false;
    return;
  }
  WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return;
  platform::Window* window = record->window;
  if (!closingAll && record->previousKeyWindow != nullptr && platform::CurrentToolkit().KeyWindow() == window) {
    RestorePreviousKeyWindow(*record);
  }
  if (record->parent != nullptr) record->parent->RemoveChildWindow(window);
  RemoveWindowBindings(number);
  MenuWindowClosed(window);
  // The delegate's WindowWillClose releases the record and itself.
  window->Close();
}

WindowRecord* FindWindowRecord(int64_t number) {
  return windows != nullptr ? static_cast<WindowRecord*>(IsObject(windows, number)) : nullptr;
}

std::vector<platform::Window*> RuntimeWindows() {
  std::vector<platform::Window*> all;
  ResetObjectEnumeration(windows);
  while (auto* record = static_cast<WindowRecord*>(NextObject(windows, nullptr))) all.push_back(record->window);
  return all;
}

void ForgetWindowRecord(int64_t number) {
  if (windows != nullptr) FreeObjectRecord(windows, number);
}

platform::Window* WindowID(int64_t number) {
  const WindowRecord* record = FindWindowRecord(number);
  return record != nullptr ? record->window : nullptr;
}

// A window the host hands in may be any value: it is compared with the records'
// windows, never followed.
int64_t WindowNumber(const platform::Window* window) {
  const auto holds = [](const void* record, const void* key) {
    return static_cast<const WindowRecord*>(record)->window == key;
  };
  int64_t number = -1;
  if (window == nullptr || FindObject(windows, holds, window, &number) == nullptr) return -1;
  return number;
}

namespace {

// The frame's size, or with inner set the content's.
platform::Size WindowSize(int64_t number, int inner) {
  const WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return {};
  if (inner != 0) return record->window->ContentSize();
  const platform::Rect frame = record->window->Frame();
  return {frame.width, frame.height};
}

}  // namespace

// Truncated toward zero.
int64_t WindowWidth(int64_t number, int inner) { return static_cast<int64_t>(WindowSize(number, inner).width); }

int64_t WindowHeight(int64_t number, int inner) { return static_cast<int64_t>(WindowSize(number, inner).height); }

void StickyWindow(int64_t number, int state) {
  const WindowRecord* record = FindWindowRecord(number);
  if (record != nullptr) record->window->SetLevel(state != 0 ? platform::WindowLevel::Floating : platform::WindowLevel::Normal);
}

}  // namespace zeb
