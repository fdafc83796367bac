#include "platform/gtk/gtk_event.h"

namespace zeb::platform {

EventKind GtkToolkitEvent::Kind() const {
  if (event_ == nullptr) return EventKind::WakeUp;
  return event_->type == GDK_KEY_PRESS ? EventKind::KeyDown : EventKind::Other;
}

// Control is the shortcut key here, so it stands for Command.
uint32_t GtkToolkitEvent::ModifierFlags() const {
  if (Kind() != EventKind::KeyDown) return 0;
  const guint state = event_->key.state;
  uint32_t flags = 0;
  if ((state & GDK_LOCK_MASK) != 0) flags |= ModifierCapsLock;
  if ((state & GDK_SHIFT_MASK) != 0) flags |= ModifierShift;
  if ((state & GDK_CONTROL_MASK) != 0) flags |= ModifierCommand;
  if ((state & GDK_MOD1_MASK) != 0) flags |= ModifierOption;
  if ((state & (GDK_SUPER_MASK | GDK_MOD4_MASK)) != 0) flags |= ModifierControl;
  return flags;
}

// The character of the key with Shift applied and every other modifier ignored.
ToolkitString GtkToolkitEvent::CharactersIgnoringModifiers() const {
  if (Kind() != EventKind::KeyDown) return {};
  const GdkEventKey& key = event_->key;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(key.window));
  guint keyval = key.keyval;
  const auto state = static_cast<GdkModifierType>(key.state & (GDK_SHIFT_MASK | GDK_LOCK_MASK));
  gdk_keymap_translate_keyboard_state(keymap, key.hardware_keycode, state, key.group, &keyval, nullptr, nullptr,
                                      nullptr);
  // The function keys are the characters a menu's key equivalents name them by.
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) {
    return ToolkitString(1, static_cast<char16_t>(kFirstFunctionKey + (keyval - GDK_KEY_F1)));
  }
  const gunichar character = gdk_keyval_to_unicode(keyval);
  if (character == 0) return {};
  if (character > 0xFFFF) {
    const gunichar v = character - 0x10000;
    return {static_cast<char16_t>(0xD800 | (v >> 10)), static_cast<char16_t>(0xDC00 | (v & 0x3FF))};
  }
  return ToolkitString(1, static_cast<char16_t>(character));
}

}  // namespace zeb::platform
