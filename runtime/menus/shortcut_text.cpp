#include "runtime/menus/shortcut_text.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/menus.h"

namespace zeb {
namespace {

using platform::ToolkitString;

constexpr int kFunctionKeys = 12;

// Only ASCII letters change case: the modifier words and F-keys are ASCII, and
// any other key keeps its own characters.
ToolkitString ASCIIUpper(ToolkitString text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// 1 to 12 for "F1" to "F12", else 0.
int FunctionKeyNumber(std::u16string_view token) {
  if (token.size() < 2 || token.size() > 3 || token[0] != u'F') return 0;
  int number = 0;
  for (const char16_t digit : token.substr(1)) {
    if (digit < u'0' || digit > u'9') return 0;
    number = number * 10 + (digit - u'0');
  }
  if (token[1] == u'0') return 0;
  return number <= kFunctionKeys ? number : 0;
}

void ApplyToken(std::u16string_view token, Shortcut& shortcut) {
  static constexpr std::array<std::pair<std::u16string_view, uint32_t>, 4> kModifiers{{
      {u"CMD", ShortcutCommand},
      {u"SHIFT", ShortcutShift},
      {u"ALT", ShortcutOption},
      {u"CTRL", ShortcutControl},
  }};
  for (const auto& [word, bit] : kModifiers) {
    if (token == word) {
      shortcut.mask |= bit;
      return;
    }
  }
  if (const int number = FunctionKeyNumber(token); number != 0) {
    shortcut.mask |= ShortcutFunctionKey;
    shortcut.key = ToolkitString(1, static_cast<char16_t>(platform::kFirstFunctionKey + number - 1));
    return;
  }
  shortcut.key = ASCIILower(ToolkitString(token));
}

}  // namespace

ToolkitString ASCIILower(ToolkitString text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return text;
}

Shortcut ParseShortcutText(const ToolkitString& text) {
  ToolkitString plain = text;
  std::erase(plain, u'&');
  Shortcut shortcut;
  const size_t tab = plain.find(u'\t');
  shortcut.title = plain.substr(0, tab);
  if (tab == ToolkitString::npos) return shortcut;
  const size_t secondTab = plain.find(u'\t', tab + 1);
  const ToolkitString keys = ASCIIUpper(plain.substr(tab + 1, secondTab == ToolkitString::npos ? secondTab : secondTab - tab - 1));
  const std::u16string_view rest(keys);
  for (size_t start = 0;;) {
    const size_t plus = rest.find(u'+', start);
    ApplyToken(rest.substr(start, plus == std::u16string_view::npos ? plus : plus - start), shortcut);
    if (plus == std::u16string_view::npos) return shortcut;
    start = plus + 1;
  }
}

}  // namespace zeb
