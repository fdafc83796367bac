// The GTK automation's file panels: files selected in the chooser's list, a filter
// picked from its menu with real clicks, and what the list shows.
#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/gtk/gtk_automation.h"
#include "platform/gtk/gtk_file_panel.h"
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_widget_tree.h"

namespace zeb::platform {
namespace {

using std::chrono::steady_clock;

// How often ChooseFiles looks whether the chooser holds the files, and how often
// before it confirms anyway.
constexpr guint kChoosePollMs = 30;
constexpr int kPollsBeforeConfirming = 100;
// How long the list must hold still before it is read (an empty one longer: its
// folder may still be loading), how long the filter menu has to draw its items
// before the click, and how long any of it may take.
constexpr auto kListSettled = std::chrono::milliseconds(300);
constexpr auto kEmptyListSettled = std::chrono::milliseconds(1000);
constexpr auto kMenuDrawn = std::chrono::milliseconds(200);
constexpr auto kTimeLimit = std::chrono::seconds(3);

// Runs the event loop until `done` holds or the time is up.
template <typename Done>
void PumpUntil(Done done, steady_clock::duration limit) {
  const auto until = steady_clock::now() + limit;
  while (!done() && steady_clock::now() < until) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
  }
}

// Calls `visit(row, file)` for each row of the chooser's list of files (the first
// tree view in it), with the file of the row's GFile column.
template <typename Visit>
void ForEachListedFile(GtkWindow* chooser, Visit visit) {
  GtkTreeView* list = nullptr;
  auto find = [&](GtkWidget* widget) {
    if (list == nullptr && GTK_IS_TREE_VIEW(widget)) list = GTK_TREE_VIEW(widget);
  };
  VisitWidgets(GTK_WIDGET(chooser), find);
  GtkTreeModel* model = list != nullptr ? gtk_tree_view_get_model(list) : nullptr;
  if (model == nullptr) return;
  int column = 0;
  while (column < gtk_tree_model_get_n_columns(model) && gtk_tree_model_get_column_type(model, column) != G_TYPE_FILE) {
    ++column;
  }
  if (column == gtk_tree_model_get_n_columns(model)) return;
  GtkTreeIter row;
  for (bool more = gtk_tree_model_get_iter_first(model, &row); more; more = gtk_tree_model_iter_next(model, &row)) {
    GFile* file = nullptr;
    gtk_tree_model_get(model, &row, column, &file, -1);
    if (file == nullptr) continue;
    visit(gtk_tree_view_get_selection(list), row, file);
    g_object_unref(file);
  }
}

// Selects the rows of the chooser's list that show these paths.
void SelectRows(GtkWindow* chooser, const std::vector<ToolkitString>& paths) {
  bool first = true;
  ForEachListedFile(chooser, [&](GtkTreeSelection* selection, GtkTreeIter& row, GFile* file) {
    if (std::exchange(first, false)) gtk_tree_selection_unselect_all(selection);
    const GCharPtr path(g_file_get_path(file));
    if (path == nullptr) return;
    for (const ToolkitString& wanted : paths) {
      if (ToUTF8(wanted) == path.get()) gtk_tree_selection_select_iter(selection, &row);
    }
  });
}

std::vector<ToolkitString> NamesListed(GtkWindow* chooser) {
  std::vector<ToolkitString> names;
  ForEachListedFile(chooser, [&](GtkTreeSelection*, GtkTreeIter&, GFile* file) {
    const GCharPtr name(g_file_get_basename(file));
    if (name != nullptr) names.push_back(FromUTF8(name.get()));
  });
  std::sort(names.begin(), names.end());
  return names;
}

// The chooser fills its list in the background: the names once it holds still.
std::vector<ToolkitString> SettledNames(GtkWindow* chooser) {
  std::vector<ToolkitString> names = NamesListed(chooser);
  auto since = steady_clock::now();
  PumpUntil(
      [&] {
        std::vector<ToolkitString> now = NamesListed(chooser);
        if (now != names) {
          names = std::move(now);
          since = steady_clock::now();
        }
        return steady_clock::now() - since >= (names.empty() ? kEmptyListSettled : kListSettled);
      },
      kTimeLimit);
  return names;
}

GtkWidget* MenuOf(GtkWidget* combo) {
  for (GList* menu = gtk_menu_get_for_attach_widget(combo); menu != nullptr; menu = menu->next) {
    if (gtk_widget_get_mapped(GTK_WIDGET(menu->data))) return GTK_WIDGET(menu->data);
  }
  return nullptr;
}

}  // namespace

void GtkAutomation::ReadFilePanel(GtkFileChooser* chooser, ModalContents& contents) {
  const GCharPtr folder(gtk_file_chooser_get_current_folder(chooser));
  if (folder != nullptr) contents.folder = FromUTF8(folder.get());
  if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE) {
    const GCharPtr name(gtk_file_chooser_get_current_name(chooser));
    if (name != nullptr) contents.name = FromUTF8(name.get());
  }
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  for (GSList* filter = filters; filter != nullptr; filter = filter->next) {
    contents.filters.push_back(FromUTF8(gtk_file_filter_get_name(GTK_FILE_FILTER(filter->data))));
  }
  g_slist_free(filters);
  if (GtkFileFilter* current = gtk_file_chooser_get_filter(chooser)) {
    contents.filter = FromUTF8(gtk_file_filter_get_name(current));
  }
  contents.listed = SettledNames(GTK_WINDOW(chooser));
}

// The chooser loads the folder in the background: the user selects the files in
// its list once they are there, and clicks the confirm button once the chooser
// holds them.
void GtkAutomation::ChooseFiles(const std::vector<ToolkitString>& paths) {
  GtkWindow* modal = toolkit_.modalWindow();
  if (modal == nullptr || !GTK_IS_FILE_CHOOSER(modal) || paths.empty()) return;
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(modal);
  if (gtk_file_chooser_get_action(chooser) == GTK_FILE_CHOOSER_ACTION_SAVE) {
    const std::string path = ToUTF8(paths.front());
    const GCharPtr folder(g_path_get_dirname(path.c_str()));
    const GCharPtr name(g_path_get_basename(path.c_str()));
    gtk_file_chooser_set_current_folder(chooser, folder.get());
    gtk_file_chooser_set_current_name(chooser, name.get());
  } else {
    const GCharPtr folder(g_path_get_dirname(ToUTF8(paths.front()).c_str()));
    gtk_file_chooser_set_current_folder(chooser, folder.get());
  }
  choosing_ = paths;
  chooseTries_ = 0;
  choose_ = g_timeout_add(kChoosePollMs, SelectChosenFiles, this);
}

gboolean GtkAutomation::SelectChosenFiles(gpointer self) {
  auto* automation = static_cast<GtkAutomation*>(self);
  GtkWindow* modal = automation->toolkit_.modalWindow();
  if (modal == nullptr || !GTK_IS_FILE_CHOOSER(modal)) {
    automation->choose_ = 0;
    return G_SOURCE_REMOVE;
  }
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(modal);
  if (SelectedPaths(chooser) != automation->choosing_ && ++automation->chooseTries_ < kPollsBeforeConfirming) {
    if (gtk_file_chooser_get_action(chooser) != GTK_FILE_CHOOSER_ACTION_SAVE) SelectRows(modal, automation->choosing_);
    return G_SOURCE_CONTINUE;
  }
  automation->choose_ = 0;
  automation->ClickWidget(gtk_dialog_get_widget_for_response(GTK_DIALOG(modal), GTK_RESPONSE_ACCEPT));
  return G_SOURCE_REMOVE;
}

// The user clicks the chooser's filter menu open, then the filter's item in it;
// this returns once the chooser has taken the filter.
void GtkAutomation::ChooseFilter(const ToolkitString& description) {
  GtkWindow* modal = toolkit_.modalWindow();
  if (modal == nullptr || !GTK_IS_FILE_CHOOSER(modal)) return;
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(modal);
  GtkFileFilter* wanted = nullptr;
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  for (GSList* filter = filters; filter != nullptr && wanted == nullptr; filter = filter->next) {
    if (FromUTF8(gtk_file_filter_get_name(GTK_FILE_FILTER(filter->data))) == description) {
      wanted = GTK_FILE_FILTER(filter->data);
    }
  }
  const gint index = g_slist_index(filters, wanted);
  g_slist_free(filters);
  GtkWidget* combo = nullptr;
  auto find = [&](GtkWidget* widget) {
    if (combo == nullptr && GTK_IS_COMBO_BOX(widget) && gtk_widget_get_mapped(widget)) combo = widget;
  };
  VisitWidgets(GTK_WIDGET(modal), find);
  if (wanted == nullptr || combo == nullptr) return;
  ClickWidget(combo);
  PumpUntil([&] { return MenuOf(combo) != nullptr; }, kTimeLimit);
  GtkWidget* menu = MenuOf(combo);
  if (menu == nullptr) return;
  PumpUntil([] { return false; }, kMenuDrawn);
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  GtkWidget* item = static_cast<GtkWidget*>(g_list_nth_data(items, static_cast<guint>(index)));
  g_list_free(items);
  if (item == nullptr) return;
  ClickWidget(item);
  PumpUntil([&] { return gtk_file_chooser_get_filter(chooser) == wanted; }, kTimeLimit);
}

}  // namespace zeb::platform
