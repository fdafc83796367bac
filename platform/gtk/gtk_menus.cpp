#include "platform/gtk/gtk_menus.h"

#include "platform/gtk/gtk_strings.h"
#include "platform/toolkit.h"

namespace zeb::platform {
namespace {

// Control and Command are both the Ctrl key here, the platform's shortcut key.
uint32_t ShortcutModifiers(uint32_t modifiers) {
  if ((modifiers & ModifierControl) != 0) modifiers = (modifiers & ~ModifierControl) | ModifierCommand;
  return modifiers;
}

GdkModifierType AcceleratorMods(uint32_t modifiers) {
  int mods = 0;
  if ((modifiers & ModifierCommand) != 0) mods |= GDK_CONTROL_MASK;
  if ((modifiers & ModifierShift) != 0) mods |= GDK_SHIFT_MASK;
  if ((modifiers & ModifierOption) != 0) mods |= GDK_MOD1_MASK;
  return static_cast<GdkModifierType>(mods);
}

guint KeyvalOf(const ToolkitString& key) {
  if (key.size() != 1) return 0;
  if (key[0] >= kFirstFunctionKey && key[0] < kFirstFunctionKey + 12) return GDK_KEY_F1 + (key[0] - kFirstFunctionKey);
  return gdk_unicode_to_keyval(key[0]);
}

}  // namespace

GtkBackendMenuItem::GtkBackendMenuItem(bool separator, const ToolkitString& title, const ToolkitString& key,
                                       uint32_t modifiers)
    : StoredMenuItem(separator, title, key, ShortcutModifiers(modifiers)),
      item_(OwnWidget(separator ? gtk_separator_menu_item_new() : gtk_menu_item_new_with_label(ToUTF8(title).c_str()))) {
  gtk_widget_show(item_.get());
  if (separator) return;
  if (const guint keyval = KeyvalOf(key); keyval != 0) {
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item_.get()))), keyval,
                              AcceleratorMods(KeyModifiers()));
  }
  activate_ = SignalConnection(item_.get(), "activate", G_CALLBACK(OnActivate), this);
}

// The submenu is the item's to keep, not GTK's to destroy with the item.
GtkBackendMenuItem::~GtkBackendMenuItem() {
  if (submenu_ != nullptr) gtk_menu_item_set_submenu(GTK_MENU_ITEM(item_.get()), nullptr);
}

void GtkBackendMenuItem::SetSubmenu(std::shared_ptr<Menu> submenu) {
  auto* gtk = dynamic_cast<GtkBackendMenu*>(submenu.get());
  if (IsSeparator() || (submenu != nullptr && (gtk == nullptr || !GTK_IS_MENU(gtk->widget())))) return;
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(item_.get()), gtk != nullptr ? gtk->widget() : nullptr);
  submenu_ = std::move(submenu);
}

// An item that opens a submenu activates as it opens; only the others choose.
void GtkBackendMenuItem::OnActivate(GtkMenuItem*, gpointer self) {
  auto* item = static_cast<GtkBackendMenuItem*>(self);
  if (item->submenu_ == nullptr && item->Target() != nullptr) item->Target()->MenuItemChosen(*item);
}

GtkBackendMenu::GtkBackendMenu(const ToolkitString& title, bool bar)
    : StoredMenu(title), shell_(OwnWidget(bar ? gtk_menu_bar_new() : gtk_menu_new())) {}

// The items leave the shell before it goes, so each is destroyed by its own owner.
GtkBackendMenu::~GtkBackendMenu() {
  while (ItemCount() != 0) RemoveItem(ItemAt(ItemCount() - 1));
}

bool GtkBackendMenu::Adopt(MenuItem& item, size_t index) {
  auto* gtk = dynamic_cast<GtkBackendMenuItem*>(&item);
  if (gtk == nullptr) return false;
  gtk_menu_shell_insert(GTK_MENU_SHELL(shell_.get()), gtk->widget(), static_cast<gint>(index));
  return true;
}

void GtkBackendMenu::Release(MenuItem& item) {
  gtk_container_remove(GTK_CONTAINER(shell_.get()), static_cast<GtkBackendMenuItem&>(item).widget());
}

}  // namespace zeb::platform
