// The automation API: plays the user of a toolkit backend. Every action goes
// through the backend's real input path (simulated toolkit events for the headless
// toolkit, real input for a display backend) and arrives when the event loop next
// pumps events. The headless one is in the library, where it answers scripted
// dialogs; the others are linked into the tests only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>
#include <memory>
#include <string>

#include "platform/toolkit.h"

namespace zeb::platform {

enum class MouseButton { Left, Right };

// What the window of a modal loop shows.
struct ModalContents {
  ToolkitString title;
  Size content;                        // the content area's size
  std::vector<ToolkitString> labels;   // texts of the labels, in order
  std::vector<ToolkitString> buttons;  // titles of the buttons, in order
  std::optional<ToolkitString> field;  // the text field's text, when there is one
  bool secure = false;                 // the field shows dots
  std::pair<int64_t, int64_t> selection{0, 0};
  std::vector<Rect> controls;          // where the labels, field and buttons show in the content
  // A file panel: the folder it shows, the name it offers for saving, the
  // descriptions of its filters and the chosen one, and the names it lists in the
  // folder (sorted).
  ToolkitString folder;
  ToolkitString name;
  std::vector<ToolkitString> filters;
  ToolkitString filter;
  std::vector<ToolkitString> listed;
};

// What a menu shows: its entries in order, each a separator or an item with its
// title, shortcut and, for a submenu, the submenu's own entries.
struct MenuEntry {
  bool separator = false;
  ToolkitString title;
  ToolkitString key;
  uint32_t modifiers = 0;
  std::vector<MenuEntry> submenu;
};

inline std::vector<MenuEntry> MenuEntries(const Menu& menu) {
  std::vector<MenuEntry> entries;
  for (size_t index = 0; index < menu.ItemCount(); ++index) {
    const MenuItem* item = menu.ItemAt(index);
    MenuEntry entry{item->IsSeparator(), item->Title(), item->Key(), item->KeyModifiers(), {}};
    if (const Menu* submenu = item->Submenu()) entry.submenu = MenuEntries(*submenu);
    entries.push_back(std::move(entry));
  }
  return entries;
}

class Automation {
 public:
  virtual ~Automation() = default;

  // Window-manager actions on a window.
  virtual void PressCloseButton(Window* window) = 0;
  virtual void PressZoomButton(Window* window) = 0;
  virtual void Miniaturize(Window* window) = 0;
  virtual void Deminiaturize(Window* window) = 0;
  virtual void ResizeContent(Window* window, Size content) = 0;
  virtual void MoveFrame(Window* window, Point frameOrigin) = 0;
  virtual void Activate(Window* window) = 0;

  // Mouse: `clicks` clicks in a row at a point of the window's content (a double
  // click is clicks = 2: click counts 1 then 2).
  virtual void Click(Window* window, Point contentPoint, int clicks, MouseButton button) = 0;
  // A key pressed in the key window, with modifier flags (ModifierFlag). Command
  // with Tab moves the keyboard focus to the next view.
  virtual void PressKey(char16_t key, uint32_t modifiers) = 0;
  // Another program's drag of `contents`, which allows `operations` (DragOperation
  // bits), dropped at a point of the window's content.
  virtual void Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) = 0;
  // Where the view shows, in its window's content.
  virtual Rect ShownFrame(View* view) = 0;

  // How many key events were dispatched to the window.
  virtual int64_t KeyEventsDelivered(Window* window) = 0;
  // Another program puts an image, and no text, on the clipboard.
  virtual void CopyImageElsewhere() = 0;

  // Dialogs. `user` runs once, on the thread of the event loop, as soon as the
  // next modal window is up and key; it answers the dialog with the calls below,
  // whose input arrives in order. A modal loop still running a few seconds after
  // `user` has run is ended with code 0, so no test waits for ever.
  virtual void WhenModal(std::function<void()> user) = 0;
  // Windows that the code under test waits on with its own event loop. The steps
  // run one after another on the thread of that loop: the first once a window is
  // key, each next one once the input of the one before has been handled. A
  // window still key a few seconds after the last step has its close button
  // pressed, so no test waits for ever.
  virtual void WhenKey(std::vector<std::function<void()>> steps) = 0;
  virtual ModalContents ModalWindowContents() = 0;
  // Clicks the modal window's button of this title.
  virtual void PressButton(const ToolkitString& title) = 0;
  // Types the characters (printable ASCII, Return, Tab, Escape) into the key window.
  virtual void TypeText(const ToolkitString& text) = 0;
  // The modal window's close button.
  virtual void CloseModalWindow() = 0;
  // Picks a colour in the colour panel.
  virtual void PickColor(const ColorComponents& color) = 0;
  // Pop-up menus. `user` runs once, on the thread of the event loop, as soon as the
  // next pop-up menu is up; a pop-up still open a few seconds after it has run is
  // dismissed.
  virtual void WhenPopUp(std::function<void()> user) = 0;
  // The open pop-up's entries, and where its top-left corner shows on the screen.
  virtual std::vector<MenuEntry> PopUpEntries() = 0;
  virtual Point PopUpOrigin() = 0;
  // Clicks the open pop-up's item of this title.
  virtual void ChoosePopUpItem(const ToolkitString& title) = 0;
  // Closes the open pop-up without a choice: Escape, or a click outside it.
  virtual void DismissPopUp(bool withEscape) = 0;
  // Chooses the item titled `item` of the main menu's submenu titled `menu`
  // (clicked when a window shows the bar).
  virtual void ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) = 0;
  // Moves the pointer to a point of the screen.
  virtual void MovePointer(Point screenPoint) = 0;
  // How many dialogs, windows and pop-ups the watchdog had to end because no
  // answer came: a test that relies on it has lost track of its user.
  virtual int64_t WatchdogEndings() const = 0;

  // Selects these files or folders (full paths, in one folder) in the file panel
  // and confirms.
  virtual void ChooseFiles(const std::vector<ToolkitString>& paths) = 0;
  // Picks the file panel's filter of this description from its menu.
  virtual void ChooseFilter(const ToolkitString& description) = 0;
};

// A backend with a screen and its automation, for one test run.
struct AutomatedBackend {
  std::string name;
  std::unique_ptr<Toolkit> toolkit;
  std::unique_ptr<Automation> automation;
};

}  // namespace zeb::platform
