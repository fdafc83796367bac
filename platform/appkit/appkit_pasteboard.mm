#import "platform/appkit/appkit_pasteboard.h"

#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {

// The server is another process: a lost connection raises, and is a pasteboard
// without text.
std::optional<ToolkitString> AppKitPasteboard::Text() {
  const std::lock_guard<std::mutex> lock(mutex_);
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  std::optional<ToolkitString> text;
  @try {
    NSPasteboard* pasteboard = [NSPasteboard generalPasteboard];
    NSString* type = [pasteboard availableTypeFromArray:[NSArray arrayWithObject:NSPasteboardTypeString]];
    NSString* string = type != nil ? [pasteboard stringForType:type] : nil;
    if (string != nil) text = FromNSString(string);
  } @catch (NSException*) {
  }
  [pool release];
  return text;
}

void AppKitPasteboard::SetText(const ToolkitString& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  @try {
    NSPasteboard* pasteboard = [NSPasteboard generalPasteboard];
    [pasteboard declareTypes:[NSArray arrayWithObject:NSPasteboardTypeString] owner:nil];
    [pasteboard setString:ToNSString(text) forType:NSPasteboardTypeString];
  } @catch (NSException*) {
  }
  [pool release];
}

}  // namespace zeb::platform
