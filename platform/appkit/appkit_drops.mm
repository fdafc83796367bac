#import "platform/appkit/appkit_drops.h"

#import "platform/appkit/appkit_bitmap.h"
#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {
namespace {

// The operations AppKit and the contract share, with the same bits.
constexpr NSDragOperation kContractOperations =
    NSDragOperationCopy | NSDragOperationLink | NSDragOperationGeneric | NSDragOperationMove;

DragContents ContentsOf(NSPasteboard* pasteboard) {
  DragContents contents;
  NSArray* types = [pasteboard types];
  if ([types containsObject:NSPasteboardTypeTIFF]) {
    contents.image = AppKitBitmap::FromData([pasteboard dataForType:NSPasteboardTypeTIFF]);
  }
  if ([types containsObject:NSFilenamesPboardType]) {
    id names = [pasteboard propertyListForType:NSFilenamesPboardType];
    if ([names isKindOfClass:[NSArray class]]) {
      std::vector<ToolkitString> paths;
      for (id name in (NSArray*)names) {
        if ([name isKindOfClass:[NSString class]]) paths.push_back(FromNSString(name));
      }
      contents.files = std::move(paths);
    }
  }
  if ([types containsObject:NSPasteboardTypeString]) {
    NSString* text = [pasteboard stringForType:NSPasteboardTypeString];
    if (text != nil) contents.text = FromNSString(text);
  }
  return contents;
}

}  // namespace

NSArray* DroppedTypes() {
  return [NSArray arrayWithObjects:NSPasteboardTypeTIFF, NSFilenamesPboardType, NSPasteboardTypeString, nil];
}

DraggingInfo DraggingInfoOf(id<NSDraggingInfo> drag, NSView* view, bool withContents) {
  DraggingInfo info;
  info.sourceOperations = static_cast<uint32_t>([drag draggingSourceOperationMask] & kContractOperations);
  NSPoint point = [view convertPoint:[drag draggingLocation] fromView:nil];
  if (![view isFlipped]) point.y = NSHeight([view bounds]) - point.y;
  info.location = {point.x, point.y};
  if (withContents) info.contents = ContentsOf([drag draggingPasteboard]);
  return info;
}

}  // namespace zeb::platform
