// Keys as a user presses them, through XTest: what the automation of the backends
// that draw on X11 (GTK, and AppKit on GNUstep) types. For their automation only.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdint>

#include "platform/toolkit.h"

namespace zeb::platform {

inline void XTestKeyStroke(Display* display, KeySym keysym, bool down) {
  const KeyCode code = XKeysymToKeycode(display, keysym);
  if (code != 0) XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

// Whether the keysym is on its key's shifted level: a capital, or a symbol such as
// ':' or '!'.
inline bool XTestNeedsShift(Display* display, KeySym keysym) {
  const KeyCode code = XKeysymToKeycode(display, keysym);
  if (code == 0) return false;
  int perCode = 0;
  KeySym* levels = XGetKeyboardMapping(display, code, 1, &perCode);
  const bool shifted = levels != nullptr && perCode > 1 && levels[0] != keysym && levels[1] == keysym;
  if (levels != nullptr) XFree(levels);
  return shifted;
}

// Presses and releases the key of a character (Latin-1, Return, Tab or Escape) with
// the modifiers held: Command is Control, Option is Alt and Control is Super (the
// GNUstep tests' defaults make them so too), and Caps Lock is turned on around it.
inline void XTestPressKey(Display* display, char16_t key, uint32_t modifiers) {
  struct ModifierKey {
    uint32_t flag;
    KeySym keysym;
  };
  constexpr ModifierKey kModifierKeys[] = {
      {ModifierCommand, XK_Control_L}, {ModifierShift, XK_Shift_L}, {ModifierOption, XK_Alt_L}, {ModifierControl, XK_Super_L}};
  // Latin-1 keysyms are the characters themselves.
  KeySym keysym = key;
  if (key == u'\r') keysym = XK_Return;
  if (key == u'\t') keysym = XK_Tab;
  if (key == u'\x1b') keysym = XK_Escape;
  if (XTestNeedsShift(display, keysym)) modifiers |= ModifierShift;
  const bool capsLock = (modifiers & ModifierCapsLock) != 0;
  if (capsLock) {
    XTestKeyStroke(display, XK_Caps_Lock, true);
    XTestKeyStroke(display, XK_Caps_Lock, false);
  }
  for (const ModifierKey& m : kModifierKeys) {
    if ((modifiers & m.flag) != 0) XTestKeyStroke(display, m.keysym, true);
  }
  XTestKeyStroke(display, keysym, true);
  XTestKeyStroke(display, keysym, false);
  for (const ModifierKey& m : kModifierKeys) {
    if ((modifiers & m.flag) != 0) XTestKeyStroke(display, m.keysym, false);
  }
  if (capsLock) {
    XTestKeyStroke(display, XK_Caps_Lock, true);
    XTestKeyStroke(display, XK_Caps_Lock, false);
  }
  XFlush(display);
}

}  // namespace zeb::platform
