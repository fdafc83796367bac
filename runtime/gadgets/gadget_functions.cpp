#include "runtime/gadgets/gadget_functions.h"

#include "runtime/core/object_registry.h"
#include "runtime/events/event_queue.h"
#include "runtime/events/gadget_list.h"
#include "runtime/events/windows.h"

namespace zeb {

ZebGadgetView::~ZebGadgetView() {
  if (!Zeb_alreadyDestroyed) ReleaseGadget(Zeb_tag);
}

Zeb_GadgetStructure* ZebGadgetFunctions::setup(int64_t number, int32_t type, platform::View* view,
                                               platform::View* container, int32_t flags, ZebGadgetView* zebView) {
  auto* record = static_cast<Zeb_GadgetStructure*>(AllocateObject(GadgetRegistry(), number));
  if (record == nullptr) return nullptr;
  Gadget = record;
  GadgetID = number == DynamicNumber ? static_cast<int64_t>(reinterpret_cast<intptr_t>(record)) : number;
  control = dynamic_cast<platform::Control*>(view);
  zebView_ = zebView;
  *record = {view, container, this, WindowNumber(ZebGadgetList::CurrentWindow()), type, flags};
  zebView->setTag(GadgetID);
  if (control != nullptr) control->SetTarget(this);
  if (platform::SharedFont font = DefaultGadgetFont()) SetGadgetFont(std::move(font));
  return record;
}

void ZebGadgetFunctions::SendEvent(int32_t data) { PostEvent(GadgetEvent, GadgetID, Gadget->window, data); }

void ZebGadgetFunctions::MarkViewDestroyed() { zebView_->setAlreadyDestroyed(true); }

void ZebGadgetFunctions::ActivateGadget() {
  platform::Window* window = WindowID(Gadget->window);
  if (window == nullptr) return;
  window->MakeKey();
  window->MakeFirstResponder(Gadget->view);
}

void ZebGadgetFunctions::ResizeGadget(int32_t x, int32_t y, int32_t width, int32_t height) {
  platform::View* outer = Gadget->outerView;
  platform::Rect frame = outer->Frame();
  if (x != IgnoreValue) frame.x = x;
  if (y != IgnoreValue) frame.y = y;
  if (width != IgnoreValue) frame.width = width;
  if (height != IgnoreValue) frame.height = height;
  outer->SetFrame(frame);
  outer->SetNeedsDisplay();
}

void ZebGadgetFunctions::SetGadgetFont(platform::SharedFont font) {
  if (control != nullptr) control->SetFont(std::move(font));
}

platform::SharedFont ZebGadgetFunctions::GetGadgetFont() { return control != nullptr ? control->Font() : nullptr; }

}  // namespace zeb
