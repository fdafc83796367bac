// A toolkit event of the GTK backend: a copy of a GDK event, or the wake-up event.
#pragma once

#include "platform/gtk/gtk_resources.h"
#include "platform/toolkit.h"

namespace zeb::platform {

class GtkToolkitEvent : public ToolkitEvent {
 public:
  // Takes the event; null makes the wake-up event.
  explicit GtkToolkitEvent(GdkEvent* event) : event_(event) {}

  EventKind Kind() const override;
  uint32_t ModifierFlags() const override;
  ToolkitString CharactersIgnoringModifiers() const override;

  GdkEvent* event() const { return event_.get(); }

 private:
  GdkEventPtr event_;
};

}  // namespace zeb::platform
