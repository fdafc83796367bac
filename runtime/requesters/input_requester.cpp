#include "runtime/requesters/input_requester.h"

#include <algorithm>
#include <memory>

#include "platform/toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/requesters/key_window_keeper.h"
#include "runtime/requesters/panel_events.h"

namespace zeb {
namespace {

using platform::Rect;

// The panel is 370 x 120 unless the message needs more: its label starts at 350 x 30
// and grows to the text, with 20 points across and 90 down for the rest.
constexpr double kPanelWidth = 370;
constexpr double kPanelHeight = 120;
constexpr Rect kFirstLabelFrame{10, 10, 350, 30};
constexpr double kButtonWidth = 100;
constexpr double kButtonHeight = 25;

}  // namespace

void InputRequester(const Unit* title, const Unit* message, const Unit* defaultText, int64_t flags, int64_t start) {
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  const KeyWindowKeeper keeper;

  std::unique_ptr<platform::Label> label = toolkit.CreateLabel();
  label->SetFrame(kFirstLabelFrame);
  label->SetText(StringToToolkitString(message));
  const platform::Size fitted = label->FittingSize();
  const double width = 20 + fitted.width > kPanelWidth ? static_cast<double>(static_cast<int64_t>(20 + fitted.width)) : kPanelWidth;
  const double height = 90 + fitted.height > kPanelHeight ? static_cast<double>(static_cast<int64_t>(90 + fitted.height)) : kPanelHeight;
  // Frames from the top-left of the panel's content.
  label->SetFrame({10, 10, width - 20, height - 90});

  std::unique_ptr<platform::TextField> field = toolkit.CreateTextField((flags & InputRequesterPassword) != 0);
  field->SetFrame({10, height - 70, width - 20, 20});
  const platform::ToolkitString initial = StringToToolkitString(defaultText);
  field->SetText(initial);

  ZebPanelEvents events;
  ZebModalButton okAction(kPanelConfirmed);
  std::unique_ptr<platform::Button> ok = toolkit.CreateButton(platform::ButtonType::MomentaryPush, nullptr);
  ok->SetFrame({static_cast<double>(static_cast<int64_t>(width - kButtonWidth) / 2), height - 35, kButtonWidth, kButtonHeight});
  ok->SetTitle(u"OK");
  ok->SetTarget(&okAction);

  platform::Window* panel = toolkit.CreateWindow({0, 0, width, height}, platform::StyleTitled | platform::StyleClosable);
  if (panel == nullptr) {
    EmptyTempResult(start);
    return;
  }
  platform::TextField* entry = field.get();
  platform::Button* button = ok.get();
  std::unique_ptr<platform::View> content = toolkit.CreateView(nullptr);
  content->SetFrame({0, 0, width, height});
  content->AddSubview(std::move(label));
  content->AddSubview(std::move(field));
  content->AddSubview(std::move(ok));
  panel->SetContentView(std::move(content));
  panel->SetLevel(platform::WindowLevel::Floating);
  panel->SetDefaultButton(button);
  panel->SetDelegate(&events);
  panel->SetTitle(StringToToolkitString(title));
  panel->Center();
  panel->MakeFirstResponder(entry);
  entry->SetSelection(0, static_cast<int64_t>(initial.size()));

  if (toolkit.RunModal(*panel) != kPanelCancelled) {
    const platform::ToolkitString text = entry->Text();
    ToolkitStringToTempString(&text, start);
  } else {
    EmptyTempResult(start);
  }
  panel->SetDelegate(nullptr);
  panel->Close();
}

void InputRequester(const Unit* title, const Unit* message, const Unit* defaultText, int64_t start) {
  InputRequester(title, message, defaultText, 0, start);
}

}  // namespace zeb
