#include "runtime/events/application.h"

#include <chrono>
#include <optional>

#include "platform/toolkit.h"
#include "runtime/events/event_queue.h"
#include "runtime/gadgets/drag_drop.h"
#include "runtime/menus/application_menu.h"
#include "runtime/menus/key_equivalents.h"
#include "runtime/requesters/scripted_dialogs.h"

namespace zeb {
namespace {

using platform::EditingAction;

bool launched = false;

platform::Deadline WaitLimit(int32_t timeout) {
  if (timeout < 0) return platform::Deadline::max();
  return platform::Clock::now() + std::chrono::milliseconds(timeout);
}

// The standard editing keys: Command with x, c, v, z or a, and Command-Shift with Z.
std::optional<EditingAction> EditingKey(const platform::ToolkitEvent& event) {
  if (event.Kind() != platform::EventKind::KeyDown) return std::nullopt;
  const uint32_t modifiers = event.ModifierFlags() & platform::kDeviceIndependentModifiers;
  const platform::ToolkitString keys = event.CharactersIgnoringModifiers();
  if (modifiers == platform::ModifierCommand) {
    if (keys == u"x") return EditingAction::Cut;
    if (keys == u"c") return EditingAction::Copy;
    if (keys == u"v") return EditingAction::Paste;
    if (keys == u"z") return EditingAction::Undo;
    if (keys == u"a") return EditingAction::SelectAll;
  } else if (modifiers == (platform::ModifierCommand | platform::ModifierShift) && keys == u"Z") {
    return EditingAction::Redo;
  }
  return std::nullopt;
}

// The taken event's type; a drop event's record is kept until the next wait.
int64_t Taken(int32_t type) {
  if (type == WindowDropEvent || type == GadgetDropEvent) {
    KeepPendingDrop(reinterpret_cast<DropRecord*>(static_cast<intptr_t>(EventType())));
  }
  return type;
}

}  // namespace

void StartApplication() {
  // The backend is chosen here unless one was attached before; scripted answers
  // want an automated user.
  if (!platform::HasToolkit()) platform::SelectToolkit(ScriptedAnswersWanted());
  launched = false;
  StartApplicationMenu();
}

bool OnApplicationThread() { return platform::OnToolkitThread(); }

void PostWakeUpEvent() { platform::CurrentToolkit().PostWakeUpEvent(); }

int64_t WaitWindowEvent(int32_t timeout) {
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  if (!launched) {
    toolkit.FinishLaunching();
    launched = true;
  }
  ReleasePendingDrop();
  // Windows closed since the last wait are gone from here on.
  toolkit.ReleaseDeferredObjects();
  if (const int32_t type = TakeEvent(); type != 0) return Taken(type);

  const std::unique_ptr<platform::ToolkitEvent> event = toolkit.NextEvent(WaitLimit(timeout));
  if (event == nullptr) return 0;
  const std::optional<EditingAction> action = EditingKey(*event);
  // A responder that performs the editing action takes the key, so a text keeps
  // its editing keys against the menus' shortcuts; then the main menu's key
  // equivalents; otherwise the key is dispatched as any other.
  if ((!action || !toolkit.SendAction(*action)) && !PerformKeyEquivalent(*event)) toolkit.SendEvent(*event);
  toolkit.UpdateWindows();
  const int32_t type = TakeEvent();
  return type != 0 ? Taken(type) : -1;
}

}  // namespace zeb
