// The events of the headless toolkit: what a simulated user did, queued until the
// event loop fetches and dispatches them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessWindow;

enum class HeadlessAction {
  WakeUp,
  Key,            // a key pressed in the key window
  CloseButton,
  ZoomButton,
  MiniaturizeButton,
  Deminiaturize,  // the user brings a miniaturised window back
  Resize,         // the user drags the frame to a new content size
  Move,           // the user drags the window to a new frame origin
  Activate,       // the user clicks a window to make it key
  LeftMouseUp,
  RightMouseUp,
  PressButton,    // the user presses the button titled `characters`
  PickColor,      // the user picks `color` in the colour panel
  ChooseFiles,    // the user chooses `paths` in the file panel and confirms
  Drop,           // the user drops a drag at `point` of the window's content
  ChooseMenuItem, // the user chooses the item at the titles `paths` (pop-up: one title)
  DismissMenu,    // the user closes the open pop-up menu without a choice
  MovePointer,    // the user moves the pointer to `point` of the screen
};

class HeadlessEvent : public ToolkitEvent {
 public:
  HeadlessAction action = HeadlessAction::WakeUp;
  // The window the action is aimed at, by its serial (windows may close while
  // events for them are queued).
  uint64_t window = 0;
  uint32_t modifiers = 0;
  ToolkitString characters;
  Point point;  // Move: frame origin; clicks: in content coordinates
  Size size;    // Resize: content size
  int clickCount = 0;
  ColorComponents color;  // PickColor
  std::vector<ToolkitString> paths;  // ChooseFiles, ChooseMenuItem
  uint32_t dragOperations = DragNone;  // Drop: what the source allows, and what it offers
  mutable DragContents dragContents;  // taken by the view the drag is dropped on

  EventKind Kind() const override {
    if (action == HeadlessAction::Key) return EventKind::KeyDown;
    return action == HeadlessAction::WakeUp ? EventKind::WakeUp : EventKind::Other;
  }
  uint32_t ModifierFlags() const override { return modifiers; }
  ToolkitString CharactersIgnoringModifiers() const override { return characters; }
};

}  // namespace zeb::platform
