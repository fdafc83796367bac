#include "runtime/gadgets/text_window.h"

#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/windows.h"
#include "runtime/gadgets/button_gadget.h"
#include "runtime/gadgets/editor_gadget.h"
#include "runtime/gadgets/gadgets.h"
#include "runtime/media/fonts.h"

namespace zeb {
namespace {

constexpr int32_t kTextWindowFlags =
    WindowSizeable | WindowClosable | WindowZoomable | WindowMinimizable | WindowScreenCentered;
constexpr int64_t kEditorFont = 0;
constexpr int64_t kButtonFont = 1;
constexpr int32_t kFontSize = 10;

// The editor fills the window above the button bar.
void LayOut() {
  const auto width = static_cast<int32_t>(WindowWidth(kReservedWindow, 1));
  const auto height = static_cast<int32_t>(WindowHeight(kReservedWindow, 1));
  ResizeGadget(kTextWindowEditor, IgnoreValue, IgnoreValue, width, height - kTextWindowButtonBar);
  ResizeGadget(kTextWindowButton, IgnoreValue, height - kTextWindowButtonBar, width, IgnoreValue);
}

}  // namespace

void TextWindow(int32_t width, int32_t height, const Unit* title, const Unit* text, const Unit* buttonText,
                int64_t start) {
  if (OpenWindow(kReservedWindow, 0, 0, width, height, title, kTextWindowFlags) == 0 ||
      EditorGadget(kTextWindowEditor, 0, 0, width, height - kTextWindowButtonBar, 0) == 0) {
    EmptyTempResult(start);
    return;
  }
  if (const int64_t font = LoadFont(kEditorFont, u"Courier New", kFontSize, 0)) SetGadgetFont(kTextWindowEditor, font);
  SetGadgetText(kTextWindowEditor, text);
  ButtonGadget(kTextWindowButton, 0, height - kTextWindowButtonBar, width, kTextWindowButtonBar, buttonText, 0);
  if (const int64_t font = LoadFont(kButtonFont, u"Arial", kFontSize, FontFlagBold)) {
    SetGadgetFont(kTextWindowButton, font);
  }
  // The user types into the editor straight away.
  ActivateGadget(kTextWindowEditor);
  for (;;) {
    const int64_t type = WaitWindowEvent(-1);
    if (type == SizeWindowEvent) {
      LayOut();
    } else if (type == GadgetEvent && EventGadget() == kTextWindowButton) {
      GetGadgetText(kTextWindowEditor, start);
      CloseWindow(kReservedWindow);
      return;
    } else if (type == CloseWindowEvent) {
      CloseWindow(kReservedWindow);
      EmptyTempResult(start);
      return;
    }
  }
}

}  // namespace zeb
