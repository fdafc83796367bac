#include "platform/headless/headless_color_panel.h"

#include <algorithm>

namespace zeb::platform {

HeadlessColorPanel::HeadlessColorPanel(HeadlessWindow& window) : window_(window) {
  window_.SetHidesOnClose(true);
  window_.SetTitle(u"Colors");
  window_.SetContentView(std::make_unique<HeadlessView>());
}

void HeadlessColorPanel::SetAccessoryView(std::unique_ptr<View> view) {
  HeadlessView* content = window_.content();
  // A default button inside the old accessory view goes with it.
  window_.SetDefaultButton(nullptr);
  if (accessory_ != nullptr) content->RemoveSubview(accessory_);
  accessory_ = view.get();
  Rect frame = window_.Frame();
  const FrameExtents e = window_.Extents();
  const Rect given = view != nullptr ? view->Frame() : Rect{};
  const Size accessory{given.width, given.height};
  frame.width = std::max(kPickerSize.width, accessory.width) + e.left + e.right;
  frame.height = kPickerSize.height + accessory.height + e.top + e.bottom;
  window_.SetFrame(frame);
  if (view != nullptr) {
    view->SetFrame({0, kPickerSize.height, accessory.width, accessory.height});
    content->AddSubview(std::move(view));
  }
}

}  // namespace zeb::platform
