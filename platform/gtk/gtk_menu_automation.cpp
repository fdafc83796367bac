// The GTK automation's menus: real clicks and keys on pop-up menus and on a menu
// bar a window shows.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "platform/gtk/gtk_automation.h"
#include "platform/gtk/gtk_menus.h"
#include "platform/gtk/gtk_strings.h"

namespace zeb::platform {
namespace {

constexpr guint kPopUpPollMs = 50;
constexpr guint kForgottenPopUpMs = 5000;
// Clicks land after the menu has drawn its items.
constexpr int kPollsBeforeAnswering = 4;

GtkWidget* ItemTitled(GtkWidget* shell, const ToolkitString& title) {
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
  for (GList* child = children; child != nullptr && found == nullptr; child = child->next) {
    GtkWidget* item = GTK_WIDGET(child->data);
    const char* label = GTK_IS_MENU_ITEM(item) ? gtk_menu_item_get_label(GTK_MENU_ITEM(item)) : nullptr;
    if (label != nullptr && FromUTF8(label) == title) found = item;
  }
  g_list_free(children);
  return found;
}

bool Shows(GtkWidget* widget) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  return gtk_widget_get_mapped(widget) && gtk_widget_get_window(toplevel) != nullptr;
}

}  // namespace

void GtkAutomation::WhenPopUp(std::function<void()> user) {
  RemoveSources();
  user_ = std::move(user);
  polls_ = 0;
  poll_ = g_timeout_add(kPopUpPollMs, PollForPopUp, this);
}

gboolean GtkAutomation::PollForPopUp(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  GtkMenu* menu = automation->toolkit_.popUpMenu();
  if (menu == nullptr || !Shows(GTK_WIDGET(menu)) || ++automation->polls_ < kPollsBeforeAnswering) {
    return G_SOURCE_CONTINUE;
  }
  automation->poll_ = 0;
  automation->watchdog_ = g_timeout_add(kForgottenPopUpMs, DismissForgottenPopUp, self);
  std::exchange(automation->user_, nullptr)();
  return G_SOURCE_REMOVE;
}

gboolean GtkAutomation::DismissForgottenPopUp(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  automation->watchdog_ = 0;
  if (GtkMenu* menu = automation->toolkit_.popUpMenu()) {
    ++automation->watchdogEndings_;
    gtk_menu_popdown(menu);
  }
  return G_SOURCE_REMOVE;
}

std::vector<MenuEntry> GtkAutomation::PopUpEntries() {
  std::vector<MenuEntry> entries;
  GtkMenu* menu = toolkit_.popUpMenu();
  if (menu == nullptr) return entries;
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* child = children; child != nullptr; child = child->next) {
    GtkWidget* item = GTK_WIDGET(child->data);
    MenuEntry entry;
    entry.separator = GTK_IS_SEPARATOR_MENU_ITEM(item);
    if (const char* label = entry.separator ? nullptr : gtk_menu_item_get_label(GTK_MENU_ITEM(item))) {
      entry.title = FromUTF8(label);
    }
    entries.push_back(std::move(entry));
  }
  g_list_free(children);
  return entries;
}

Point GtkAutomation::PopUpOrigin() {
  GtkMenu* menu = toolkit_.popUpMenu();
  if (menu == nullptr || !Shows(GTK_WIDGET(menu))) return {};
  int x = 0;
  int y = 0;
  gdk_window_get_origin(gtk_widget_get_window(gtk_widget_get_toplevel(GTK_WIDGET(menu))), &x, &y);
  return {static_cast<double>(x), static_cast<double>(y)};
}

void GtkAutomation::ChoosePopUpItem(const ToolkitString& title) {
  GtkMenu* menu = toolkit_.popUpMenu();
  if (GtkWidget* item = menu != nullptr ? ItemTitled(GTK_WIDGET(menu), title) : nullptr) ClickWidget(item);
}

void GtkAutomation::DismissPopUp(bool withEscape) {
  if (withEscape) {
    PressKey(u'\x1b', 0);
    return;
  }
  // Above and to the left of the menu, which opens down and to the right.
  const Point origin = PopUpOrigin();
  ClickAt(std::max(0, static_cast<int>(origin.x) - 40), std::max(0, static_cast<int>(origin.y) - 40), 1,
          MouseButton::Left);
}

// A bar a window shows is clicked open, then its item; a bar no window shows is
// out of the user's reach, and its item is activated as a click would.
void GtkAutomation::ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) {
  auto* bar = dynamic_cast<GtkBackendMenu*>(toolkit_.MainMenu());
  if (bar == nullptr) return;
  GtkWidget* top = nullptr;
  for (size_t index = 0; index < bar->ItemCount() && top == nullptr; ++index) {
    const Menu* submenu = bar->ItemAt(index)->Submenu();
    const bool named = submenu != nullptr && (submenu->Title() == menu || bar->ItemAt(index)->Title() == menu);
    if (named) top = static_cast<GtkBackendMenuItem*>(bar->ItemAt(index))->widget();
  }
  GtkWidget* submenu = top != nullptr ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(top)) : nullptr;
  GtkWidget* chosen = submenu != nullptr ? ItemTitled(submenu, item) : nullptr;
  if (chosen == nullptr) return;
  if (!Shows(top)) {
    gtk_menu_item_activate(GTK_MENU_ITEM(chosen));
    return;
  }
  ClickWidget(top);
  chosen_ = chosen;
  choiceTries_ = 0;
  choice_ = g_timeout_add(kPopUpPollMs, ClickChosenItem, this);
}

// The submenu opens a moment after its title is clicked.
gboolean GtkAutomation::ClickChosenItem(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  if (!Shows(automation->chosen_) && ++automation->choiceTries_ < kPollsBeforeAnswering * 20) return G_SOURCE_CONTINUE;
  automation->choice_ = 0;
  if (Shows(automation->chosen_)) automation->ClickWidget(automation->chosen_);
  return G_SOURCE_REMOVE;
}

void GtkAutomation::MovePointer(Point screenPoint) {
  XTestFakeMotionEvent(display_, -1, static_cast<int>(screenPoint.x), static_cast<int>(screenPoint.y), CurrentTime);
  XFlush(display_);
}

}  // namespace zeb::platform
