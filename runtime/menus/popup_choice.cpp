#include "runtime/menus/popup_choice.h"

#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/menus/menus.h"

namespace zeb {
namespace {

// Invisible, borderless and miniaturised: nothing of it shows.
constexpr int32_t kPopupWindowFlags = WindowInvisible | WindowBorderless | WindowOpenMinimized;

}  // namespace

std::vector<platform::ToolkitString> PopupFields(const Unit* items) {
  std::vector<platform::ToolkitString> fields(1);
  for (const Unit* c = items; c != nullptr && *c != 0; ++c) {
    if (*c == u'|') {
      fields.emplace_back();
    } else {
      fields.back().push_back(*c);
    }
  }
  return fields;
}

int64_t PopupChoice(const Unit* items, int64_t defaultResult) {
  CloseWindow(-1);
  if (OpenWindow(kReservedWindow, 0, 0, 0, 0, u"", kPopupWindowFlags) == 0) return 0;
  if (CreatePopupMenu(kReservedWindow) != 0) {
    int32_t separators = 0;
    int32_t field = 0;
    for (const platform::ToolkitString& text : PopupFields(items)) {
      ++field;
      if (text == u"-") {
        MenuBar();
        ++separators;
      } else {
        MenuItem(field - separators, text.c_str());
      }
    }
  }
  DisplayPopupMenu(kReservedWindow, WindowID(kReservedWindow));
  int64_t result = defaultResult;
  // The menu has closed: a choice is queued by now. The events queued before and
  // with it are taken; the first wait that brings no runtime event ends it.
  for (int64_t type = WaitWindowEvent(0); type > 0; type = WaitWindowEvent(0)) {
    if (EventWindow() != kReservedWindow) continue;
    if (type == MenuEvent) {
      result = EventMenu();
      break;
    }
    if (type == CloseWindowEvent) break;
  }
  FreeMenu(kReservedWindow);
  CloseWindow(kReservedWindow);
  return result;
}

}  // namespace zeb
