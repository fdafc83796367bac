// Walking a GTK widget tree, internal children included, as automation reads and
// drives dialogs whose parts GTK builds itself.
#pragma once

#include <gtk/gtk.h>

namespace zeb::platform {

// Calls `visit` for the widget and every widget inside it, internal ones included.
template <typename Visit>
void VisitWidgets(GtkWidget* widget, Visit& visit) {
  visit(widget);
  if (!GTK_IS_CONTAINER(widget)) return;
  GList* children = nullptr;
  gtk_container_forall(
      GTK_CONTAINER(widget), [](GtkWidget* child, gpointer list) {
        *static_cast<GList**>(list) = g_list_append(*static_cast<GList**>(list), child);
      },
      &children);
  for (GList* child = children; child != nullptr; child = child->next) VisitWidgets(GTK_WIDGET(child->data), visit);
  g_list_free(children);
}

}  // namespace zeb::platform
