// The text of a menu item: its title, then optionally a tab and a keyboard
// shortcut such as "Ctrl+O", "cmd+shift+q" or "F5".
#pragma once

#include <cstdint>

#include "platform/toolkit_string.h"

namespace zeb {

// Modifier mask bits of a key equivalent.
inline constexpr uint32_t ShortcutCommand = 0x100000;
inline constexpr uint32_t ShortcutShift = 0x20000;
inline constexpr uint32_t ShortcutOption = 0x80000;
inline constexpr uint32_t ShortcutControl = 0x40000;
inline constexpr uint32_t ShortcutFunctionKey = 0x800000;

struct Shortcut {
  platform::ToolkitString title;
  uint32_t mask = 0;
  platform::ToolkitString key;  // empty: none
};

// Every "&" is removed. The title is the text before the first tab; the part after
// it (up to a second tab, after which the rest is ignored), upper-cased and split
// at "+", gives the tokens: CMD, SHIFT, ALT and CTRL add modifiers, F1 to F12 give
// a function key, and any other token (the empty one too) is the key, in lower
// case. A later key token replaces an earlier one.
Shortcut ParseShortcutText(const platform::ToolkitString& text);

// The text with ASCII capitals made small; other characters stay.
platform::ToolkitString ASCIILower(platform::ToolkitString text);

}  // namespace zeb
