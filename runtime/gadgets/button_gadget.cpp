#include "runtime/gadgets/button_gadget.h"

#include <memory>

#include "runtime/core/object_registry.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/events/gadget_list.h"
#include "runtime/events/windows.h"

namespace zeb {

void ZebButtonGadgetFunctions::ResizeGadget(int32_t x, int32_t y, int32_t width, int32_t height) {
  const double newHeight = height != IgnoreValue ? height : gadget()->outerView->Frame().height;
  if (newHeight != platform::kStandardButtonHeight && button_.Bezel() == platform::BezelStyle::Rounded) {
    button_.SetBezelStyle(platform::BezelStyle::Square);
  }
  ZebGadgetFunctions::ResizeGadget(x, y, width, height);
}

int64_t ButtonGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const Unit* text,
                     int32_t flags) {
  platform::View* container = ZebGadgetList::CurrentView();
  if (container == nullptr) return 0;
  auto role = std::make_unique<ZebGadgetView>();
  ZebGadgetView* zebView = role.get();
  const auto type = (flags & ButtonToggle) != 0 ? platform::ButtonType::PushOnPushOff : platform::ButtonType::MomentaryPush;
  std::unique_ptr<platform::Button> created = platform::CurrentToolkit().CreateButton(type, std::move(role));
  if (created == nullptr) return 0;
  platform::Button* button = created.get();
  button->SetFrame({static_cast<double>(x), static_cast<double>(y), static_cast<double>(width),
                    static_cast<double>(height)});
  auto* functions = new ZebButtonGadgetFunctions(*button);
  Zeb_GadgetStructure* record = functions->setup(number, ButtonGadgetType, button, button, flags, zebView);
  if (record == nullptr) {
    delete functions;
    return 0;
  }
  button->SetTitle(StringToToolkitString(text));
  if ((flags & ButtonLeft) != 0) {
    button->SetAlignment(platform::TextAlignment::Left);
  } else if ((flags & ButtonRight) != 0) {
    button->SetAlignment(platform::TextAlignment::Right);
  }
  if (height == platform::kStandardButtonHeight) {
    button->SetBezelStyle(platform::BezelStyle::Rounded);
    if ((flags & ButtonDefault) != 0) {
      if (platform::Window* window = ZebGadgetList::CurrentWindow()) window->SetDefaultButton(button);
    }
  } else {
    button->SetBezelStyle(platform::BezelStyle::Square);
  }
  container->AddSubview(std::move(created));
  return number == DynamicNumber ? static_cast<int64_t>(reinterpret_cast<intptr_t>(record))
                                 : static_cast<int64_t>(reinterpret_cast<intptr_t>(button));
}

}  // namespace zeb
