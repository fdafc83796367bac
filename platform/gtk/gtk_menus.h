// Menus of the GTK backend: a GtkMenuItem (or separator) per item, a GtkMenu per
// menu and a GtkMenuBar per menu bar. The key equivalent shows in the item's
// accelerator label; the runtime matches typed keys against the main menu itself.
#pragma once

#include <memory>

#include "platform/gtk/gtk_resources.h"
#include "platform/menus.h"

namespace zeb::platform {

class GtkBackendMenuItem : public StoredMenuItem {
 public:
  // A separator when `separator` is set.
  GtkBackendMenuItem(bool separator, const ToolkitString& title, const ToolkitString& key, uint32_t modifiers);
  ~GtkBackendMenuItem() override;

  void SetSubmenu(std::shared_ptr<Menu> submenu) override;
  Menu* Submenu() const override { return submenu_.get(); }

  GtkWidget* widget() const { return item_.get(); }

 private:
  static void OnActivate(GtkMenuItem*, gpointer self);

  OwnedWidget item_;
  std::shared_ptr<Menu> submenu_;
  SignalConnection activate_;
};

class GtkBackendMenu : public StoredMenu {
 public:
  // A GtkMenuBar when `bar` is set, else a GtkMenu.
  GtkBackendMenu(const ToolkitString& title, bool bar);
  ~GtkBackendMenu() override;

  GtkWidget* widget() const { return shell_.get(); }

 protected:
  bool Adopt(MenuItem& item, size_t index) override;
  void Release(MenuItem& item) override;

 private:
  OwnedWidget shell_;
};

}  // namespace zeb::platform
