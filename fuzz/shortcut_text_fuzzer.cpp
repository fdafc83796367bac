// libFuzzer target for the text of a menu item: the input's bytes, two by two, are
// UTF-16 units (unpaired surrogates and NULs included). Whatever the text, the
// title keeps no "&" and no tab, the key has no capital letter and holds no "+",
// "&" or tab, neither is longer than the text, and no modifier bit outside the
// known ones is set. A broken property ends the run like a crash.
#include <cstddef>
#include <cstdint>

#include "fuzz/require.h"
#include "runtime/menus/shortcut_text.h"

namespace {

using zeb::platform::ToolkitString;

constexpr uint32_t kKnownBits = zeb::ShortcutCommand | zeb::ShortcutShift | zeb::ShortcutOption |
                                zeb::ShortcutControl | zeb::ShortcutFunctionKey;

bool Holds(const ToolkitString& text, char16_t unit) { return text.find(unit) != ToolkitString::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ToolkitString text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

  const zeb::Shortcut shortcut = zeb::ParseShortcutText(text);
  Require(!Holds(shortcut.title, u'&') && !Holds(shortcut.title, u'\t'));
  Require(shortcut.title.size() <= text.size() && shortcut.key.size() <= text.size());
  Require((shortcut.mask & ~kKnownBits) == 0);
  Require(!Holds(shortcut.key, u'+') && !Holds(shortcut.key, u'\t') && !Holds(shortcut.key, u'&'));
  for (const char16_t unit : shortcut.key) Require(unit < u'A' || unit > u'Z');
  return 0;
}
