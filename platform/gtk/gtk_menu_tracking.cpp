// The GTK backend's menus: the main menu bar, shown at the top of the window that
// owns it, and the tracking of a pop-up menu.
#include <gtk/gtk.h>

#include "platform/gtk/gtk_menus.h"
#include "platform/gtk/gtk_toolkit.h"

namespace zeb::platform {
namespace {

// The dispatches a closed pop-up waits for at most before its choice is taken.
constexpr int kTurnsAfterClosing = 50;

GdkDevice* DefaultPointer() { return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())); }

}  // namespace

std::shared_ptr<Menu> GtkToolkit::CreateMenu(const ToolkitString& title) {
  return std::make_shared<GtkBackendMenu>(title, false);
}

std::shared_ptr<Menu> GtkToolkit::CreateMenuBar() { return std::make_shared<GtkBackendMenu>(u"", true); }

std::unique_ptr<MenuItem> GtkToolkit::CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                                     uint32_t modifiers) {
  return std::make_unique<GtkBackendMenuItem>(false, title, key, modifiers);
}

std::unique_ptr<MenuItem> GtkToolkit::CreateSeparatorItem() {
  return std::make_unique<GtkBackendMenuItem>(true, u"", u"", 0);
}

// Linux has no global menu bar: the bar shows in its own window, when that is one
// of ours.
void GtkToolkit::SetMainMenu(std::shared_ptr<Menu> bar, Window* window) {
  auto* shown = dynamic_cast<GtkBackendMenu*>(bar.get());
  auto* owner = dynamic_cast<GtkBackendWindow*>(window);
  if (mainMenuWindow_ != nullptr) mainMenuWindow_->SetMenuBar(nullptr);
  mainMenuWindow_ = shown != nullptr ? owner : nullptr;
  if (mainMenuWindow_ != nullptr) mainMenuWindow_->SetMenuBar(shown->widget());
  mainMenu_ = std::move(bar);
}

Point GtkToolkit::MouseLocation() const {
  int x = 0;
  int y = 0;
  gdk_device_get_position(DefaultPointer(), nullptr, &x, &y);
  return {static_cast<double>(x), static_cast<double>(y)};
}

// A host that runs a GApplication of its own owns the application.
bool GtkToolkit::HostOwnsApplication() const { return g_application_get_default() != nullptr; }

void GtkToolkit::OnPopUpDeactivate(GtkMenuShell*, gpointer self) { static_cast<GtkToolkit*>(self)->popUp_ = nullptr; }

// There is no event of ours to pop up from: the menu opens at a 1 x 1 rectangle of
// the root window and grabs the pointer and keyboard itself. GTK deactivates the
// menu before the chosen item activates, in the same dispatch; the events queued
// by then (the release of the click) are dispatched too before the choice is
// taken as made.
void GtkToolkit::PopUpContextMenu(Menu& menu, Point screenPoint) {
  auto* gtk = dynamic_cast<GtkBackendMenu*>(&menu);
  if (gtk == nullptr || !GTK_IS_MENU(gtk->widget()) || popUp_ != nullptr) return;
  GtkMenu* shown = GTK_MENU(gtk->widget());
  const GdkRectangle at{static_cast<int>(screenPoint.x), static_cast<int>(screenPoint.y), 1, 1};
  const SignalConnection deactivate(shown, "deactivate", G_CALLBACK(OnPopUpDeactivate), this);
  popUp_ = shown;
  // A press of the pointer stands for the event a menu opens from.
  const GdkEventPtr trigger(gdk_event_new(GDK_BUTTON_PRESS));
  GdkWindow* root = gdk_get_default_root_window();
  trigger->button.window = GDK_WINDOW(g_object_ref(root));
  trigger->button.time = GDK_CURRENT_TIME;
  trigger->button.button = 1;
  gdk_event_set_device(trigger.get(), DefaultPointer());
  gtk_menu_popup_at_rect(shown, root, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger.get());
  // A menu that could not take the grab never showed.
  if (!gtk_widget_get_visible(GTK_WIDGET(shown))) {
    popUp_ = nullptr;
    return;
  }
  while (popUp_ != nullptr) g_main_context_iteration(nullptr, TRUE);
  for (int turn = 0; turn < kTurnsAfterClosing && g_main_context_iteration(nullptr, FALSE); ++turn) {
  }
}

}  // namespace zeb::platform
