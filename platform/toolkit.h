// The toolkit contract: the one interface through which the runtime reaches the
// windowing system (application and event pump, modal loops, screen, windows,
// views, controls, text views, fonts, drops, menus, alerts and panels, pasteboard,
// bitmaps). A backend implements it; the runtime implements the callback
// interfaces (WindowDelegate, ViewDelegate, ControlTarget, TextDelegate,
// MenuTarget) with its own classes. Strings are ToolkitString: 16-bit UTF-16 units in host byte order.
//
// Objects a backend hands out as raw pointers (windows) stay owned by the backend.
// A closed window is destroyed only at the next ReleaseDeferredObjects, so a
// pointer to it stays valid until the event loop comes round again.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/drops.h"
#include "platform/file_filters.h"
#include "platform/fonts.h"
#include "platform/geometry.h"
#include "platform/menus.h"
#include "platform/text_views.h"
#include "platform/views.h"

namespace zeb::platform {

using Clock = std::chrono::steady_clock;
// The end of a wait; Clock::time_point::max() waits without limit.
using Deadline = Clock::time_point;

// Window style bits; 0 is a borderless window.
enum WindowStyle : uint32_t {
  StyleTitled = 1,
  StyleClosable = 2,
  StyleMiniaturizable = 4,
  StyleResizable = 8,
};

enum class WindowLevel { Normal, Floating };

// Device-independent modifier flags of key events. Command is the platform's
// shortcut key: the Command key on macOS, Control elsewhere.
enum ModifierFlag : uint32_t {
  ModifierCapsLock = 0x10000,
  ModifierShift = 0x20000,
  ModifierControl = 0x40000,
  ModifierOption = 0x80000,
  ModifierCommand = 0x100000,
};
inline constexpr uint32_t kDeviceIndependentModifiers = 0xFFFF0000;

enum class EventKind { KeyDown, WakeUp, Other };

// Actions sent along the responder chain for the standard editing keys.
enum class EditingAction { Cut, Copy, Paste, Undo, Redo, SelectAll };

// One event fetched from the toolkit's queue, owned by the caller until it is
// dispatched or dropped.
class ToolkitEvent {
 public:
  virtual ~ToolkitEvent() = default;
  virtual EventKind Kind() const = 0;
  virtual uint32_t ModifierFlags() const = 0;
  virtual ToolkitString CharactersIgnoringModifiers() const = 0;
};

class Window;

// What a window reports. Every call happens on the main thread, from inside a
// toolkit call the runtime made (dispatch, zoom, close...).
class WindowDelegate {
 public:
  virtual ~WindowDelegate() = default;
  // The close button was pressed; true lets the window close.
  virtual bool WindowShouldClose() = 0;
  // The window is closing; the delegate may delete itself here, and the window
  // makes no further call to it.
  virtual void WindowWillClose() = 0;
  virtual void WindowDidResize() = 0;
  virtual void WindowDidMove() = 0;
  virtual void WindowDidBecomeKey() = 0;
  virtual void WindowDidResignKey() = 0;
  virtual void WindowDidMiniaturize() = 0;
  virtual void WindowDidDeminiaturize() = 0;
  // A zoom is about to change the frame to `proposedFrame`; true lets it.
  virtual bool WindowShouldZoom(const Rect& proposedFrame) = 0;
  // The runtime's number of the window.
  virtual int64_t WindowID() const = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual void SetDelegate(WindowDelegate* delegate) = 0;
  virtual WindowDelegate* Delegate() const = 0;
  virtual uint32_t Style() const = 0;
  virtual void SetTitle(const ToolkitString& title) = 0;
  virtual ToolkitString Title() const = 0;

  // The outer frame in screen coordinates, and the decoration around the content.
  virtual Rect Frame() const = 0;
  virtual FrameExtents Extents() const = 0;
  // The content's size: the frame less the decoration, where the toolkit knows it
  // no better.
  virtual Size ContentSize() const {
    const Rect frame = Frame();
    const FrameExtents e = Extents();
    return {frame.width - e.left - e.right, frame.height - e.top - e.bottom};
  }
  // Moves and sizes the outer frame; the delegate hears of a move and a resize.
  virtual void SetFrame(const Rect& frame) = 0;

  // The content view, owned by the window.
  virtual void SetContentView(std::unique_ptr<View> view) = 0;
  virtual View* ContentView() const = 0;
  // The view that takes key events and editing actions first, or null.
  virtual void MakeFirstResponder(View* view) = 0;

  // The button that Return presses, or null.
  virtual void SetDefaultButton(Button* button) = 0;

  virtual void OrderFront() = 0;            // shown, without taking the keyboard
  virtual void OrderOut() = 0;              // hidden, not closed
  virtual void MakeKeyAndOrderFront() = 0;  // shown and key
  virtual void MakeKey() = 0;
  virtual void Center() = 0;                // on the main screen
  virtual void Zoom() = 0;                  // toggles between the zoomed and the user frame
  virtual void Miniaturize() = 0;
  virtual void Close() = 0;

  virtual bool IsVisible() const = 0;
  virtual bool IsZoomed() const = 0;
  virtual bool IsMiniaturized() const = 0;
  virtual void SetLevel(WindowLevel level) = 0;
  virtual WindowLevel Level() const = 0;
  virtual void AddChildWindow(Window* child) = 0;
  virtual void RemoveChildWindow(Window* child) = 0;
};

// The system clipboard's plain text.
class Pasteboard {
 public:
  virtual ~Pasteboard() = default;
  // The text, or nothing when the pasteboard holds no text.
  virtual std::optional<ToolkitString> Text() = 0;
  // Replaces the pasteboard's contents with the text.
  virtual void SetText(const ToolkitString& text) = 0;
  // Called once as the process ends, from any thread: the text SetText put there is
  // handed to a clipboard manager, when one runs, so that it outlives the process
  // (a bounded wait). Nothing uses the pasteboard afterwards.
  virtual void Close() = 0;
};

// The application's one colour panel: a window with the toolkit's colour picker
// and room below it for an accessory view. It outlives every use.
class ColorPanel {
 public:
  virtual ~ColorPanel() = default;
  virtual Window& window() = 0;
  virtual void SetColor(const ColorComponents& color) = 0;
  // The colour shown, or nothing when it has no device RGB form.
  virtual std::optional<ColorComponents> Color() const = 0;
  virtual void SetShowsAlpha(bool shows) = 0;
  // The panel owns the view until the next call; null removes it.
  virtual void SetAccessoryView(std::unique_ptr<View> view) = 0;
};

enum class FilePanelMode { OpenFiles, OpenFolder, Save };

// A modal panel that chooses files or a folder to open, or a file to save under.
class FilePanel {
 public:
  virtual ~FilePanel() = default;
  virtual void SetTitle(const ToolkitString& title) = 0;
  virtual void SetCanCreateDirectories(bool can) = 0;
  virtual void SetAllowsMultipleSelection(bool allows) = 0;
  // The folder the panel opens in, and the name it offers (saving) or selects
  // there (opening).
  virtual void SetDirectory(const ToolkitString& path) = 0;
  virtual void SetNameFieldText(const ToolkitString& name) = 0;
  // The filters the user picks from, and the one chosen at first; with none the
  // panel lists every file. Folders are listed whatever the filter.
  virtual void SetFilters(const std::vector<FileFilter>& filters, size_t current) = 0;
  // Shows the panel until the user confirms (true) or cancels.
  virtual bool RunModal() = 0;
  // The full paths chosen, in order.
  virtual std::vector<ToolkitString> Filenames() const = 0;
};

// A button of an alert: its title and the number the alert returns for it.
struct AlertButton {
  ToolkitString title;
  int64_t tag = 0;
  bool cancels = false;  // Escape presses it
};
// What an alert closed without a button gives: the tag of the button that cancels,
// or 0.
inline int64_t ClosedAlertTag(const std::vector<AlertButton>& buttons) {
  for (const AlertButton& button : buttons) {
    if (button.cancels) return button.tag;
  }
  return 0;
}
// The number of the toolkit's own button, on an alert given no buttons.
inline constexpr int64_t kAlertDefaultButtonTag = 1000;

// What a backend can do, for callers (and tests) that depend on it.
struct Capabilities {
  bool windows = false;      // windows and dialogs can be shown
  bool zoom = false;         // a window manager zooms (maximises) windows
  bool miniaturize = false;  // ... and miniaturises (iconifies) them
  // A click on a push button gives it the keyboard focus (GTK's do); AppKit's
  // leave the focus where it was.
  bool clickFocusesButtons = true;
  // The parts of the contract that a backend may not have built yet; without one,
  // its Create calls make nothing and its dialogs answer as if cancelled.
  bool controls = true;    // buttons, labels, text fields and fonts
  bool textViews = true;   // text views in scroll views
  bool alerts = true;      // RunAlert
  bool colorPanel = true;  // SharedColorPanel
  bool filePanels = true;  // CreateFilePanel
  bool nonUTF8FileNames = true;  // file panels list and give back names that are not UTF-8
  bool menus = true;       // menus, the main menu and pop-ups
  bool pasteboard = true;  // the system's clipboard
  bool bitmaps = true;     // CreateBitmap
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual Capabilities capabilities() const = 0;

  // The application and its event loop.
  virtual Window* KeyWindow() const = 0;
  virtual void FinishLaunching() = 0;
  // The next event, taken off the queue, or null once the deadline has passed.
  virtual std::unique_ptr<ToolkitEvent> NextEvent(Deadline until) = 0;
  // Whether an event is waiting, without taking it.
  virtual bool HasPendingEvent() = 0;
  // Places an empty event at the front of the queue, so that a waiting NextEvent
  // returns.
  virtual void PostWakeUpEvent() = 0;
  // Dispatches the event; every delegate call it causes has run on return.
  virtual void SendEvent(const ToolkitEvent& event) = 0;
  // Sends the action to the key window's first responder and up its chain;
  // true when some responder performed it.
  virtual bool SendAction(EditingAction action) = 0;
  // Redraws the views that need it.
  virtual void UpdateWindows() = 0;
  // Destroys the windows closed since the last call.
  virtual void ReleaseDeferredObjects() = 0;

  // The main screen, or nothing when there is none to show windows on.
  virtual std::optional<Rect> MainScreenFrame() const = 0;
  // The decoration a window of this style gets around its content.
  virtual FrameExtents ExtentsForStyle(uint32_t style) const = 0;
  // A hidden window with the given content rectangle, or null when the toolkit
  // refuses (no screen).
  virtual Window* CreateWindow(const Rect& content, uint32_t style) = 0;
  // Views own the delegate they report to (null for none).
  // A flipped view that holds other views.
  virtual std::unique_ptr<View> CreateView(std::unique_ptr<ViewDelegate> delegate) = 0;
  // A text field; a secure one shows a dot for each character.
  virtual std::unique_ptr<TextField> CreateTextField(bool secure) = 0;
  virtual std::unique_ptr<Button> CreateButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate) = 0;
  virtual std::unique_ptr<Label> CreateLabel() = 0;
  // A plain-text view that takes drops of text and files, editable, no wrapping.
  virtual std::unique_ptr<TextView> CreateTextView(std::unique_ptr<ViewDelegate> delegate) = 0;
  virtual std::unique_ptr<ScrollView> CreateScrollView() = 0;

  // Fonts. A family the toolkit does not know gives null.
  virtual SharedFont FontWithFamily(const ToolkitString& family, uint32_t traits, double size) = 0;
  // The font of the system's user interface at this size.
  virtual SharedFont SystemFont(double size) = 0;

  // Menus; null when the toolkit cannot make one.
  virtual std::shared_ptr<Menu> CreateMenu(const ToolkitString& title) = 0;
  virtual std::shared_ptr<Menu> CreateMenuBar() = 0;
  // An item with a key equivalent (empty: none) and the modifier flags asked for.
  virtual std::unique_ptr<MenuItem> CreateMenuItem(const ToolkitString& title, const ToolkitString& key,
                                                   uint32_t modifiers) = 0;
  virtual std::unique_ptr<MenuItem> CreateSeparatorItem() = 0;
  // The application's main menu (null: none), kept alive while it is. Where menu
  // bars show inside windows, `window` shows it (null, or a window that is not
  // this toolkit's: none does).
  virtual void SetMainMenu(std::shared_ptr<Menu> bar, Window* window) = 0;
  virtual Menu* MainMenu() const = 0;
  // Shows the menu at a point of the screen (from its top left) and tracks it
  // until it closes; a chosen item's target has heard of the choice on return.
  virtual void PopUpContextMenu(Menu& menu, Point screenPoint) = 0;
  // The pointer's position on the screen, from its top left.
  virtual Point MouseLocation() const = 0;
  // Whether the host runs an application object of its own, which the library
  // then leaves to it (no menu bar of the library's at start-up).
  virtual bool HostOwnsApplication() const = 0;

  // Modal loops. RunModal shows the window and handles events for it alone until
  // StopModal, and returns the code given there. While it runs, Escape that the
  // focused view does not take presses the window's close button.
  virtual int64_t RunModal(Window& window) = 0;
  virtual void StopModal(int64_t code) = 0;
  // An alert with a message, an informative text and the buttons (none: the
  // toolkit's one default button), run modally. The pressed button's tag; 0 when
  // the alert cannot be shown or was closed without a button. Escape and the close
  // button press the button that cancels, where there is one.
  virtual int64_t RunAlert(const ToolkitString& message, const ToolkitString& informative,
                           const std::vector<AlertButton>& buttons) = 0;
  // The shared colour panel, or null when none can be shown.
  virtual ColorPanel* SharedColorPanel() = 0;
  // A new file panel, or null when none can be shown.
  virtual std::unique_ptr<FilePanel> CreateFilePanel(FilePanelMode mode) = 0;

  virtual Pasteboard& pasteboard() = 0;

  // A bitmap of the given size, or null when it cannot be made.
  virtual std::unique_ptr<Bitmap> CreateBitmap(int width, int height) = 0;
};

// The toolkit chosen when the library loaded. It lives to the end of the process:
// nothing destroys it at exit.
Toolkit& CurrentToolkit();
// Chooses the backend: a real display when one can be opened, else the headless
// toolkit without a screen, or, with `scriptedUser`, with a screen and an automated
// user who answers its dialogs.
void SelectToolkit(bool scriptedUser = false);
// Whether a toolkit is chosen or attached.
bool HasToolkit();
class Automation;
// The automated user of a headless toolkit chosen with `scriptedUser`, else null.
Automation* ScriptedUser();
// Replaces the toolkit (tests attach a headless one with a screen), destroying the
// one it replaces and its scripted user.
void SetToolkit(std::unique_ptr<Toolkit> toolkit);
// Whether the calling thread is the one that selected or set the toolkit (true
// while there is none). Windows, dialogs and menus are used from that thread
// only; the pasteboard from any thread.
bool OnToolkitThread();

}  // namespace zeb::platform
