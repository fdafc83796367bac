#include "runtime/gadgets/drag_drop.h"

#include "runtime/core/memory.h"
#include "runtime/events/event_queue.h"
#include "runtime/gadgets/editor_lines.h"
#include "runtime/gadgets/gadgets.h"

namespace zeb {
namespace {

DropRecord* pending = nullptr;

}  // namespace

uint32_t ZebDragDrop::DraggingEntered(const platform::DraggingInfo& info) {
  for (const uint32_t operation : {platform::DragGeneric, platform::DragCopy, platform::DragMove, platform::DragLink}) {
    if ((info.sourceOperations & operation) != 0) return operation;
  }
  return platform::DragNone;
}

bool ZebDragDrop::PerformDragOperation(platform::DraggingInfo& info, int64_t gadgetId, int64_t windowId) {
  platform::DragContents& contents = info.contents;
  if (contents.image == nullptr && !contents.files && !contents.text) return false;
  auto* record = static_cast<DropRecord*>(AllocateBlock(sizeof(DropRecord)));
  if (record == nullptr) return false;
  record->x = static_cast<int32_t>(info.location.x);
  record->y = static_cast<int32_t>(info.location.y);
  const uint32_t allowed = info.sourceOperations;
  record->action = (allowed & platform::DragMove) != 0   ? DropActionMove
                   : (allowed & platform::DragLink) != 0 ? DropActionLink
                                                         : DropActionCopy;
  if (contents.image != nullptr) {
    record->format = DropFormatImage;
    record->image = contents.image.release();
  } else if (contents.files) {
    record->format = DropFormatFiles;
    record->text = new platform::ToolkitString(JoinLines(*contents.files));
  } else {
    record->format = DropFormatText;
    record->text = new platform::ToolkitString(*contents.text);
  }
  const auto data = static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
  if (gadgetId == -1) {
    PostEvent(WindowDropEvent, windowId, windowId, data);
  } else {
    const Zeb_GadgetStructure* gadget = IsGadget(gadgetId);
    PostEvent(GadgetDropEvent, gadgetId, gadget != nullptr ? gadget->window : -1, data);
  }
  return true;
}

void ReleaseDropRecord(DropRecord* record) {
  if (record == nullptr) return;
  delete record->text;
  delete record->image;
  FreeBlock(record);
}

void KeepPendingDrop(DropRecord* record) { pending = record; }

void ReleasePendingDrop() {
  ReleaseDropRecord(pending);
  pending = nullptr;
}

DropRecord* PendingDrop() { return pending; }

}  // namespace zeb
