// A toolkit event of the AppKit backend: an NSEvent, retained until it goes. The
// wake-up event is an application-defined event of the backend's own subtype.
#pragma once

#import "platform/appkit/appkit_compat.h"
#include "platform/toolkit.h"

namespace zeb::platform {

// The subtype that marks the backend's wake-up events.
inline constexpr short kWakeUpSubtype = 0x5A45;

class AppKitEvent : public ToolkitEvent {
 public:
  // Retains the event.
  explicit AppKitEvent(NSEvent* event) : event_([event retain]) {}
  ~AppKitEvent() override { [event_ release]; }
  AppKitEvent(const AppKitEvent&) = delete;
  AppKitEvent& operator=(const AppKitEvent&) = delete;

  EventKind Kind() const override;
  uint32_t ModifierFlags() const override;
  ToolkitString CharactersIgnoringModifiers() const override;

  NSEvent* event() const { return event_; }

 private:
  NSEvent* event_;
};

// A new wake-up event, autoreleased.
NSEvent* MakeWakeUpEvent();

}  // namespace zeb::platform
