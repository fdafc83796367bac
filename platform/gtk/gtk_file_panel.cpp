#include "platform/gtk/gtk_file_panel.h"

#include "platform/gtk/gtk_dialog_parent.h"
#include "platform/gtk/gtk_user_time.h"
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/gtk_style.h"
#include "platform/gtk/gtk_toolkit.h"
#include "platform/gtk/gtk_widget_tree.h"

namespace zeb::platform {
namespace {

GtkFileChooserAction ActionFor(FilePanelMode mode) {
  switch (mode) {
    case FilePanelMode::OpenFiles:
      return GTK_FILE_CHOOSER_ACTION_OPEN;
    case FilePanelMode::OpenFolder:
      return GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
    case FilePanelMode::Save:
      return GTK_FILE_CHOOSER_ACTION_SAVE;
  }
  return GTK_FILE_CHOOSER_ACTION_OPEN;
}

const char* ConfirmTitle(FilePanelMode mode) {
  switch (mode) {
    case FilePanelMode::OpenFiles:
      return "_Open";
    case FilePanelMode::OpenFolder:
      return "_Select";
    case FilePanelMode::Save:
      return "_Save";
  }
  return "_Open";
}

// Whether the chooser's filter shows a file of this name. GTK drops the filter
// (a blank label, every file listed) to show a selected file that it hides.
bool FilterShows(GtkFileChooser* chooser, const std::string& displayName) {
  GtkFileFilter* filter = gtk_file_chooser_get_filter(chooser);
  if (filter == nullptr) return true;
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = displayName.c_str();
  return gtk_file_filter_filter(filter, &info);
}

// The path of a name in a folder.
std::string PathIn(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The chooser inside the dialog, which chooses the dialog's size.
GtkWidget* ChooserWidget(GtkWidget* dialog) {
  GtkWidget* chooser = nullptr;
  auto find = [&chooser](GtkWidget* widget) {
    if (chooser == nullptr && GTK_IS_FILE_CHOOSER_WIDGET(widget)) chooser = widget;
  };
  VisitWidgets(dialog, find);
  return chooser;
}

void FitDialog(GtkWidget*, gpointer parent) { static_cast<DialogParent*>(parent)->Fit(); }

}  // namespace

std::vector<ToolkitString> SelectedPaths(GtkFileChooser* chooser) {
  std::vector<ToolkitString> paths;
  GSList* names = gtk_file_chooser_get_filenames(chooser);
  for (GSList* item = names; item != nullptr; item = item->next) {
    paths.push_back(FromFileName(static_cast<const char*>(item->data)));
    g_free(item->data);
  }
  g_slist_free(names);
  return paths;
}

GtkFilePanel::GtkFilePanel(GtkToolkit& toolkit, FilePanelMode mode)
    : toolkit_(toolkit),
      mode_(mode),
      // The confirm button answers "accept": GTK's chooser gives that answer too
      // when a file is double-clicked or a typed path is entered.
      dialog_(OwnWidget(gtk_file_chooser_dialog_new(nullptr, nullptr, ActionFor(mode), "_Cancel", GTK_RESPONSE_CANCEL,
                                                    ConfirmTitle(mode), GTK_RESPONSE_ACCEPT, nullptr))) {
  gtk_dialog_set_default_response(GTK_DIALOG(dialog_.get()), GTK_RESPONSE_ACCEPT);
  MarkDefaultButton(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog_.get()), GTK_RESPONSE_ACCEPT), true);
  keys_ = SignalConnection(dialog_.get(), "key-press-event", G_CALLBACK(OnKeyPress), this);
  portal_.mode = mode;
  gtk_file_chooser_set_local_only(chooser(), TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser(), TRUE);
  gtk_window_set_position(GTK_WINDOW(dialog_.get()), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog_.get()), TRUE);
}

void GtkFilePanel::SetTitle(const ToolkitString& title) {
  portal_.title = ToUTF8(title);
  gtk_window_set_title(GTK_WINDOW(dialog_.get()), portal_.title.c_str());
}

void GtkFilePanel::SetCanCreateDirectories(bool can) { gtk_file_chooser_set_create_folders(chooser(), can); }

void GtkFilePanel::SetAllowsMultipleSelection(bool allows) {
  portal_.multiple = allows && mode_ == FilePanelMode::OpenFiles;
  gtk_file_chooser_set_select_multiple(chooser(), portal_.multiple);
}

// Each filter matches the names GTK shows with the panels' own globs, so the
// chooser lists what the headless panel lists. GTK never filters out folders.
void GtkFilePanel::SetFilters(const std::vector<FileFilter>& filters, size_t current) {
  portal_.filters = filters;
  portal_.currentFilter = current;
  for (size_t index = 0; index < filters.size(); ++index) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, ToUTF8(filters[index].description).c_str());
    gtk_file_filter_add_custom(filter, GTK_FILE_FILTER_DISPLAY_NAME, Accepts, new FileFilter(filters[index]),
                               [](gpointer kept) { delete static_cast<FileFilter*>(kept); });
    gtk_file_chooser_add_filter(chooser(), filter);
    if (index == current) gtk_file_chooser_set_filter(chooser(), filter);
  }
}

gboolean GtkFilePanel::Accepts(const GtkFileFilterInfo* info, gpointer filter) {
  return info->display_name != nullptr && static_cast<const FileFilter*>(filter)->Accepts(FromUTF8(info->display_name));
}

bool GtkFilePanel::RunModal() {
  // Folders and files are named by their bytes; the name typed for saving is text.
  const std::string directory = ToFileName(directory_);
  const std::string name = ToFileName(name_);
  if (PortalWanted()) {
    // The portal cannot select a folder in its parent: it opens in it.
    const bool folderInParent = mode_ == FilePanelMode::OpenFolder && !name.empty() && !directory.empty();
    portal_.folder = folderInParent ? PathIn(directory, name) : directory;
    portal_.name = ToUTF8(name_);
    if (std::optional<std::vector<ToolkitString>> chosen = ChooseThroughPortal(toolkit_, portal_)) {
      chosen_ = std::move(*chosen);
      return !chosen_.empty();
    }
  }
  if (mode_ == FilePanelMode::Save) {
    if (!directory.empty()) gtk_file_chooser_set_current_folder(chooser(), directory.c_str());
    gtk_file_chooser_set_current_name(chooser(), ToUTF8(name_).c_str());
  } else if (!name.empty() && !directory.empty() && FilterShows(chooser(), ToUTF8(name_))) {
    // Opens the folder and selects the name in it, unless the filter hides it.
    gtk_file_chooser_set_filename(chooser(), PathIn(directory, name).c_str());
  } else if (!directory.empty()) {
    gtk_file_chooser_set_current_folder(chooser(), directory.c_str());
  }
  const SignalConnection response(dialog_.get(), "response", G_CALLBACK(OnResponse), this);
  // The chooser sizes the dialog (to the size it last had, or one from the font)
  // only once it is shown, after it was placed, and it then grows right and down;
  // asked for that size now, it is placed at the size it opens at.
  GtkWidget* sizer = ChooserWidget(dialog_.get());
  g_signal_emit_by_name(sizer, "default-size-changed");
  DialogParent parent(GTK_WINDOW(dialog_.get()), toolkit_.keyWindow(), DialogParent::Placement::OverParent);
  {
    // It sizes the dialog again as it is shown.
    const SignalConnection sized(sizer, "default-size-changed", G_CALLBACK(FitDialog), &parent, G_CONNECT_AFTER);
    PresentWithUserTime(GTK_WINDOW(dialog_.get()));
  }
  const bool confirmed = toolkit_.RunModalLoop(GTK_WINDOW(dialog_.get())) != 0;
  chosen_ = confirmed ? SelectedPaths(chooser()) : std::vector<ToolkitString>();
  HideNow(dialog_.get());
  return confirmed;
}

// The chooser's folder list takes Return to open the folder it shows; in a folder
// panel Return selects, as the default button does. A typed path (an entry) keeps
// its own Return.
gboolean GtkFilePanel::OnKeyPress(GtkWidget* dialog, GdkEventKey* event, gpointer self) {
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
  const bool plain = (event->state & gtk_accelerator_get_default_mod_mask()) == 0;
  if (!enter || !plain || static_cast<GtkFilePanel*>(self)->mode_ != FilePanelMode::OpenFolder ||
      GTK_IS_ENTRY(gtk_window_get_focus(GTK_WINDOW(dialog)))) {
    return FALSE;
  }
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  return TRUE;
}

void GtkFilePanel::OnResponse(GtkDialog*, gint response, gpointer self) {
  static_cast<GtkFilePanel*>(self)->toolkit_.StopModal(response == GTK_RESPONSE_ACCEPT ? 1 : 0);
}

}  // namespace zeb::platform
