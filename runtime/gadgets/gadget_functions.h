// ZebGadgetFunctions, the controller of every gadget, with the operations each
// kind of gadget overrides where its control differs; and ZebGadgetView, the role
// a gadget's toolkit view plays for the runtime: it carries the gadget's number
// and releases the gadget when the view goes first.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/toolkit.h"
#include "runtime/gadgets/drag_drop.h"
#include "runtime/gadgets/gadgets.h"

namespace zeb {

class ZebGadgetView : public ZebDragDropView {
 public:
  // A view that no gadget has taken yet has nothing to release.
  ZebGadgetView() = default;
  ZebGadgetView(const ZebGadgetView&) = delete;
  ZebGadgetView& operator=(const ZebGadgetView&) = delete;
  // The view is going: its gadget goes with it, unless it went first.
  ~ZebGadgetView() override;

  void setTag(int64_t tag) {
    Zeb_tag = tag;
    Zeb_alreadyDestroyed = false;
  }
  void setAlreadyDestroyed(bool destroyed) { Zeb_alreadyDestroyed = destroyed; }
  int64_t tag() const { return Zeb_tag; }

  // Drags go to ZebDragDrop with the gadget's number.
 protected:
  int64_t DropGadget() const override { return Zeb_tag; }
  int64_t DropWindow() const override { return -1; }

 private:
  int64_t Zeb_tag = 0;
  bool Zeb_alreadyDestroyed = true;
};

class ZebGadgetFunctions : public platform::ControlTarget {
 public:
  ZebGadgetFunctions() = default;
  ZebGadgetFunctions(const ZebGadgetFunctions&) = delete;
  ZebGadgetFunctions& operator=(const ZebGadgetFunctions&) = delete;
  ~ZebGadgetFunctions() override = default;

  // Registers the gadget under `number` (-1: a dynamic number) with its view, the
  // outer view placed in the container, and the view's runtime role; connects a
  // control's action and gives it the default gadget font. The record, or null
  // when none could be had.
  Zeb_GadgetStructure* setup(int64_t number, int32_t type, platform::View* view, platform::View* container,
                             int32_t flags, ZebGadgetView* zebView);
  // Posts a GadgetEvent of this gadget with `data` as its kind.
  void SendEvent(int32_t data);
  // The control's action.
  void EventHandler() { SendEvent(0); }
  void ControlAction(platform::View&) override { EventHandler(); }
  // Tells the view that its gadget is released.
  void MarkViewDestroyed();

  virtual void FreeGadget() {}
  void ActivateGadget();
  virtual void ResizeGadget(int32_t x, int32_t y, int32_t width, int32_t height);
  virtual void SetGadgetFont(platform::SharedFont font);
  virtual platform::SharedFont GetGadgetFont();
  virtual int64_t AddGadgetItem(int32_t /*position*/, const platform::ToolkitString& /*text*/) { return 0; }
  virtual void RemoveGadgetItem(int32_t /*position*/) {}
  virtual void ClearGadgetItems() {}
  virtual int64_t CountGadgetItems() { return 0; }
  virtual void SetGadgetText(const platform::ToolkitString& /*text*/) {}
  virtual platform::ToolkitString GetGadgetText() { return {}; }
  virtual void SetGadgetItemText(int32_t /*position*/, const platform::ToolkitString& /*text*/, int32_t /*column*/) {}
  virtual platform::ToolkitString GetGadgetItemText(int32_t /*position*/, int32_t /*column*/) { return {}; }
  virtual void SetGadgetAttribute(int32_t /*attribute*/, int64_t /*value*/) {}
  virtual int64_t GetGadgetAttribute(int32_t /*attribute*/) { return 0; }
  virtual void SetGadgetColor(int32_t /*type*/, const platform::ColorComponents& /*color*/) {}
  virtual std::optional<platform::ColorComponents> GetGadgetColor(int32_t /*type*/) { return std::nullopt; }

  int64_t gadgetID() const { return GadgetID; }

 protected:
  Zeb_GadgetStructure* gadget() const { return Gadget; }

 private:
  int64_t GadgetID = 0;
  Zeb_GadgetStructure* Gadget = nullptr;
  platform::Control* control = nullptr;  // the view, when it is a control
  ZebGadgetView* zebView_ = nullptr;
};

}  // namespace zeb
