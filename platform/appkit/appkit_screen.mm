#import "platform/appkit/appkit_screen.h"

namespace zeb::platform {
namespace {

double PrimaryHeight() {
  NSScreen* screen = PrimaryScreen();
  return screen != nil ? [screen frame].size.height : 0;
}

}  // namespace

NSScreen* PrimaryScreen() {
  NSArray* screens = [NSScreen screens];
  return [screens count] > 0 ? [screens objectAtIndex:0] : nil;
}

NSRect ToAppKitRect(const Rect& rect) {
  return NSMakeRect(rect.x, PrimaryHeight() - rect.y - rect.height, rect.width, rect.height);
}

Rect FromAppKitRect(NSRect rect) {
  return {rect.origin.x, PrimaryHeight() - rect.origin.y - rect.size.height, rect.size.width, rect.size.height};
}

Point FromAppKitPoint(NSPoint point) { return {point.x, PrimaryHeight() - point.y}; }

NSPoint ToAppKitPoint(const Point& point) { return NSMakePoint(point.x, PrimaryHeight() - point.y); }

}  // namespace zeb::platform
