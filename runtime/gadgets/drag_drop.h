// ZebDragDrop: what a view that takes drops answers a drag, and how a drop
// becomes a WindowDropEvent or GadgetDropEvent carrying a drop record. The event
// loop keeps the record of the drop event it returned until its next wait.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"

namespace zeb {

// Drop formats, four-character codes.
inline constexpr uint32_t DropFormatText = 0x54455854;   // TEXT
inline constexpr uint32_t DropFormatFiles = 0x68667320;  // "hfs "
inline constexpr uint32_t DropFormatImage = 0x50494354;  // PICT

// Drop actions.
inline constexpr uint32_t DropActionCopy = 1;
inline constexpr uint32_t DropActionLink = 2;
inline constexpr uint32_t DropActionMove = 16;

// A zero-filled memory block, the data word of a drop event.
struct DropRecord {
  uint32_t format;
  uint32_t action;
  int32_t x;  // the drop point in the target view, from its top-left
  int32_t y;
  platform::ToolkitString* text;  // the text, or the file paths joined by "\n"; owned
  platform::Bitmap* image;        // owned
};

class ZebDragDrop {
 public:
  // The first operation the source allows of generic, copy, move and link, or none.
  static uint32_t DraggingEntered(const platform::DraggingInfo& info);
  static uint32_t DraggingUpdated(const platform::DraggingInfo& info) { return DraggingEntered(info); }
  static bool PrepareForDragOperation(const platform::DraggingInfo&) { return true; }
  // Takes the image, else the files, else the text of the drag into a drop record
  // and posts it: a WindowDropEvent of `windowId` for gadget -1, a GadgetDropEvent
  // of the gadget otherwise. False, and no event, when the drag holds none of them.
  static bool PerformDragOperation(platform::DraggingInfo& info, int64_t gadgetId, int64_t windowId);
};

// A view's delegate that hands its drags to ZebDragDrop, for the gadget and
// window the view names.
class ZebDragDropView : public platform::ViewDelegate {
 public:
  uint32_t DraggingEntered(const platform::DraggingInfo& info) override { return ZebDragDrop::DraggingEntered(info); }
  uint32_t DraggingUpdated(const platform::DraggingInfo& info) override { return ZebDragDrop::DraggingUpdated(info); }
  bool PrepareForDragOperation(const platform::DraggingInfo& info) override {
    return ZebDragDrop::PrepareForDragOperation(info);
  }
  bool PerformDragOperation(platform::DraggingInfo& info) override {
    return ZebDragDrop::PerformDragOperation(info, DropGadget(), DropWindow());
  }

 protected:
  // Gadget -1 with a window's number, or a gadget's number with window -1.
  virtual int64_t DropGadget() const = 0;
  virtual int64_t DropWindow() const = 0;
};

// Frees the record with its text and image; null does nothing.
void ReleaseDropRecord(DropRecord* record);

// The record of the drop event the event loop returned last, kept until its next
// wait, and the release at that wait.
void KeepPendingDrop(DropRecord* record);
void ReleasePendingDrop();
DropRecord* PendingDrop();

}  // namespace zeb
