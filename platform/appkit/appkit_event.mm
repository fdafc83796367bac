#import "platform/appkit/appkit_event.h"

#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {
namespace {

struct ModifierBit {
  NSUInteger appKit;
  uint32_t flag;
};
constexpr ModifierBit kModifierBits[] = {
    {NSEventModifierFlagCapsLock, ModifierCapsLock}, {NSEventModifierFlagShift, ModifierShift},
    {NSEventModifierFlagControl, ModifierControl},   {NSEventModifierFlagOption, ModifierOption},
    {NSEventModifierFlagCommand, ModifierCommand},
};

bool IsWakeUp(NSEvent* event) {
  return [event type] == NSEventTypeApplicationDefined && [event subtype] == kWakeUpSubtype;
}

}  // namespace

EventKind AppKitEvent::Kind() const {
  if (IsWakeUp(event_)) return EventKind::WakeUp;
  return [event_ type] == NSEventTypeKeyDown ? EventKind::KeyDown : EventKind::Other;
}

uint32_t AppKitEvent::ModifierFlags() const {
  if (Kind() != EventKind::KeyDown) return 0;
  const NSUInteger flags = [event_ modifierFlags];
  uint32_t modifiers = 0;
  for (const ModifierBit& bit : kModifierBits) {
    if ((flags & bit.appKit) != 0) modifiers |= bit.flag;
  }
  return modifiers;
}

ToolkitString AppKitEvent::CharactersIgnoringModifiers() const {
  if (Kind() != EventKind::KeyDown) return {};
  return FromNSString([event_ charactersIgnoringModifiers]);
}

NSEvent* MakeWakeUpEvent() {
  return [NSEvent otherEventWithType:NSEventTypeApplicationDefined
                            location:NSMakePoint(0, 0)
                       modifierFlags:0
                           timestamp:0
                        windowNumber:0
                             context:nil
                             subtype:kWakeUpSubtype
                               data1:0
                               data2:0];
}

}  // namespace zeb::platform
