#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {

NSString* ToNSString(const ToolkitString& text) {
  return [NSString stringWithCharacters:reinterpret_cast<const unichar*>(text.data()) length:text.size()];
}

ToolkitString FromNSString(NSString* text) {
  if (text == nil) return {};
  ToolkitString units([text length], u'\0');
  [text getCharacters:reinterpret_cast<unichar*>(units.data()) range:NSMakeRange(0, units.size())];
  return units;
}

}  // namespace zeb::platform
