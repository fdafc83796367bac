// AddMenu, ShowMenu and ClearAll: the host window's "Project" menu bar, the pop-up
// choice, and the removal of every menu and runtime window.
#include <cstdint>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/events/application.h"
#include "runtime/events/windows.h"
#include "runtime/menus/menus.h"
#include "runtime/menus/popup_choice.h"
#include "runtime/requesters/scripted_dialogs.h"

// From a thread other than the application's, AddMenu, ShowMenu and ClearAll leave
// the menus and windows as they are: ShowMenu answers as when its window cannot open.
ZEB_EXPORT double AddMenu(double window) {
  zeb::HostCall call;
  if (!zeb::OnApplicationThread()) return 0;
  // The host's window handle is only ever compared with the runtime's windows.
  auto* handle = reinterpret_cast<zeb::platform::Window*>(static_cast<intptr_t>(zeb::RoundToInteger(window)));
  if (zeb::CreateMenu(0, handle) == 0) return 0;
  zeb::MenuTitle(u"Project");
  zeb::MenuItem(1, u"Open\tCtrl+O");
  zeb::MenuItem(2, u"Save\tCtrl+S");
  zeb::MenuItem(3, u"Save as\tCtrl+A");
  zeb::MenuItem(4, u"Close\tCtrl+C");
  return 0;
}

ZEB_EXPORT double ShowMenu(const char* items, double defaultResult, double) {
  zeb::HostCall call;
  if (!zeb::OnApplicationThread()) return 0;
  zeb::ScriptedDialog scripted("ShowMenu", {{"items", zeb::JsonString(items)}, {"default", zeb::JsonNumber(defaultResult)}});
  const zeb::StringVariable decoded = zeb::DecodeHostString(items);
  return scripted.Answered(static_cast<double>(zeb::PopupChoice(decoded.get(), zeb::RoundToInteger(defaultResult))));
}

ZEB_EXPORT double ClearAll() {
  zeb::HostCall call;
  if (!zeb::OnApplicationThread()) return 0;
  zeb::FreeMenu(-1);
  zeb::CloseWindow(-1);
  return 0;
}
