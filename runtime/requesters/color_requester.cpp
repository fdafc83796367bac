#include "runtime/requesters/color_requester.h"

#include <algorithm>
#include <memory>

#include "runtime/requesters/key_window_keeper.h"
#include "runtime/requesters/panel_events.h"

namespace zeb {
namespace {

using platform::Rect;

constexpr int64_t kLow24Bits = 0xFFFFFF;
// The accessory view below the picker, with its two buttons.
constexpr Rect kAccessoryFrame{0, 0, 185, 45};
constexpr Rect kCancelFrame{10, 10, 80, 25};
constexpr Rect kOKFrame{95, 10, 80, 25};

// A component times 255, truncated and kept to 8 bits; a component outside 0..1
// (NaN included) is taken at its nearest end first, so the cast stays defined.
int64_t ComponentByte(double component) {
  const double bounded = component >= 0 ? std::min(component, 1.0) : 0.0;
  return static_cast<int64_t>(bounded * 255.0) & 0xFF;
}

}  // namespace

platform::ColorComponents ColorFromRGB(int64_t rgb) {
  return {static_cast<double>(rgb & 0xFF) / 255.0, static_cast<double>((rgb >> 8) & 0xFF) / 255.0,
          static_cast<double>((rgb >> 16) & 0xFF) / 255.0, static_cast<double>((rgb >> 24) & 0xFF) / 255.0};
}

int64_t RGBFromColor(const std::optional<platform::ColorComponents>& color) {
  if (!color) return -1;
  return ComponentByte(color->red) | ComponentByte(color->green) << 8 | ComponentByte(color->blue) << 16 |
         ComponentByte(color->alpha) << 24;
}

int64_t ColorRequester(int64_t initial) {
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  platform::ColorPanel* panel = toolkit.SharedColorPanel();
  if (panel == nullptr) return -1;
  ZebPanelEvents events;
  // The panel shows no alpha, and an RGB colour is opaque; a panel told so only
  // afterwards would show the colour as transparent.
  panel->SetShowsAlpha(false);
  platform::ColorComponents shown =
      initial == -1 ? platform::ColorComponents{1, 1, 1, 1} : ColorFromRGB(initial & kLow24Bits);
  shown.alpha = 1;
  panel->SetColor(shown);
  platform::Window& window = panel->window();
  window.SetDelegate(&events);

  ZebModalButton cancelAction(kPanelCancelled);
  ZebModalButton okAction(kPanelConfirmed);
  std::unique_ptr<platform::View> accessory = toolkit.CreateView(nullptr);
  accessory->SetFrame(kAccessoryFrame);
  std::unique_ptr<platform::Button> cancel = toolkit.CreateButton(platform::ButtonType::MomentaryPush, nullptr);
  cancel->SetFrame(kCancelFrame);
  cancel->SetTitle(u"Cancel");
  cancel->SetTarget(&cancelAction);
  std::unique_ptr<platform::Button> ok = toolkit.CreateButton(platform::ButtonType::MomentaryPush, nullptr);
  ok->SetFrame(kOKFrame);
  ok->SetTitle(u"OK");
  ok->SetTarget(&okAction);
  platform::Button* defaultButton = ok.get();
  accessory->AddSubview(std::move(cancel));
  accessory->AddSubview(std::move(ok));
  panel->SetAccessoryView(std::move(accessory));
  window.SetDefaultButton(defaultButton);

  int64_t result = -1;
  {
    const KeyWindowKeeper keeper;
    if (toolkit.RunModal(window) != kPanelCancelled) {
      // A colour without an RGB form (-1) keeps its low 24 bits: white.
      result = RGBFromColor(panel->Color()) & kLow24Bits;
    }
    window.OrderOut();
    window.SetDelegate(nullptr);
    panel->SetAccessoryView(nullptr);
  }
  return result;
}

int64_t ColorRequester() { return ColorRequester(-1); }

}  // namespace zeb
