// The automation API: plays the user of a toolkit backend, for the tests. Every
// action goes through the backend's real input path (simulated toolkit events for
// the headless toolkit, real input for a display backend) and arrives when the
// event loop next pumps events. Linked into the tests only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/toolkit.h"

namespace zeb::platform {

enum class MouseButton { Left, Right };

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
  // A key pressed in the key window, with modifier flags (ModifierFlag).
  virtual void PressKey(char16_t key, uint32_t modifiers) = 0;

  // How many key events were dispatched to the window.
  virtual int64_t KeyEventsDelivered(Window* window) = 0;
  // Another program puts an image, and no text, on the clipboard.
  virtual void CopyImageElsewhere() = 0;
};

// A backend with a screen and its automation, for one test run.
struct AutomatedBackend {
  std::string name;
  std::unique_ptr<Toolkit> toolkit;
  std::unique_ptr<Automation> automation;
};

}  // namespace zeb::platform
