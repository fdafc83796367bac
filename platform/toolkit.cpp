#include "platform/toolkit.h"

#include <atomic>
#include <thread>

#include "platform/headless/headless_automation.h"
#include "platform/headless/headless_toolkit.h"
#if ZEB_HAVE_GTK
#include "platform/gtk/gtk_backend.h"
#endif
#if ZEB_HAVE_APPKIT
#include "platform/appkit/appkit_backend.h"
#endif

namespace zeb::platform {
namespace {

// The toolkit and its scripted user are never destroyed at the end of the process
// (extension/lifecycle.cpp says why); only SetToolkit destroys the ones it replaces.
std::unique_ptr<Toolkit>& CurrentSlot() {
  static auto& toolkit = *new std::unique_ptr<Toolkit>();
  return toolkit;
}

std::unique_ptr<Automation>& ScriptedUserSlot() {
  static auto& user = *new std::unique_ptr<Automation>();
  return user;
}

// The thread that selected or set the toolkit; nobody's before that.
std::atomic<std::thread::id>& ToolkitThread() {
  static std::atomic<std::thread::id> thread;
  return thread;
}

}  // namespace

Toolkit& CurrentToolkit() {
  if (CurrentSlot() == nullptr) SelectToolkit();
  return *CurrentSlot();
}

void SelectToolkit(bool scriptedUser) {
  ToolkitThread() = std::this_thread::get_id();
#if ZEB_HAVE_GTK
  if (auto gtk = ConnectGtkToolkit()) {
    CurrentSlot() = std::move(gtk);
    return;
  }
#endif
#if ZEB_HAVE_APPKIT
  if (auto appKit = ConnectAppKitToolkit()) {
    CurrentSlot() = std::move(appKit);
    return;
  }
#endif
  if (scriptedUser) {
    AutomatedBackend backend = MakeHeadlessBackend();
    CurrentSlot() = std::move(backend.toolkit);
    ScriptedUserSlot() = std::move(backend.automation);
    return;
  }
  // No display: every window and dialog is refused at once.
  CurrentSlot() = std::make_unique<HeadlessToolkit>(std::nullopt);
}

void SetToolkit(std::unique_ptr<Toolkit> toolkit) {
  ToolkitThread() = std::this_thread::get_id();
  ScriptedUserSlot().reset();
  CurrentSlot() = std::move(toolkit);
}

bool HasToolkit() { return CurrentSlot() != nullptr; }

Automation* ScriptedUser() { return ScriptedUserSlot().get(); }

bool OnToolkitThread() {
  const std::thread::id owner = ToolkitThread();
  return owner == std::thread::id() || owner == std::this_thread::get_id();
}

}  // namespace zeb::platform
