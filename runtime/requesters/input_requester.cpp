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

// The panel is 370 x 120 unless the message or the controls need more: its label
// starts at 350 x 30 and grows to the text; below it come the field and the button,
// each as tall as the toolkit draws it (20 and 25 at the least), with 10 points
// around the label, 15 between field and button and 10 below.
constexpr double kPanelWidth = 370;
constexpr double kFirstLabelHeight = 30;
constexpr Rect kFirstLabelFrame{10, 10, 350, kFirstLabelHeight};
constexpr double kFieldHeight = 20;
constexpr double kButtonWidth = 100;

double Whole(double value) { return static_cast<double>(static_cast<int64_t>(value)); }

}  // namespace

void InputRequester(const Unit* title, const Unit* message, const Unit* defaultText, int64_t flags, int64_t start) {
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  const KeyWindowKeeper keeper;

  std::unique_ptr<platform::Label> label = toolkit.CreateLabel();
  std::unique_ptr<platform::TextField> field = toolkit.CreateTextField((flags & InputRequesterPassword) != 0);
  std::unique_ptr<platform::Button> ok = toolkit.CreateButton(platform::ButtonType::MomentaryPush, nullptr);
  // A toolkit that makes none of these controls cannot show the panel: the answer
  // of a cancelled one.
  if (label == nullptr || field == nullptr || ok == nullptr) {
    EmptyTempResult(start);
    return;
  }
  label->SetFrame(kFirstLabelFrame);
  label->SetText(StringToToolkitString(message));
  const platform::Size fitted = label->FittingSize();
  const double width = 20 + fitted.width > kPanelWidth ? Whole(20 + fitted.width) : kPanelWidth;
  const double labelHeight = std::max(kFirstLabelHeight, Whole(fitted.height));

  const double fieldHeight = std::max(kFieldHeight, field->FittingHeight());
  const platform::ToolkitString initial = StringToToolkitString(defaultText);
  field->SetText(initial);

  ZebPanelEvents events;
  ZebModalButton okAction(kPanelConfirmed);
  ok->SetTitle(u"OK");
  ok->SetTarget(&okAction);
  const double buttonHeight = std::max(platform::kStandardButtonHeight, ok->FittingHeight());

  // Frames from the top-left of the panel's content.
  const double fieldTop = 10 + labelHeight + 10;
  const double buttonTop = fieldTop + fieldHeight + 15;
  const double height = buttonTop + buttonHeight + 10;
  label->SetFrame({10, 10, width - 20, labelHeight});
  field->SetFrame({10, fieldTop, width - 20, fieldHeight});
  ok->SetFrame({Whole((width - kButtonWidth) / 2), buttonTop, kButtonWidth, buttonHeight});

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
