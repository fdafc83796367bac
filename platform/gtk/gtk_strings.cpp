#include "platform/gtk/gtk_strings.h"

#include <glib.h>

namespace zeb::platform {
namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string ToUTF8(const ToolkitString& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    gunichar c = text[i];
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      c = 0x10000 + (((c & 0x3FF) << 10) | (text[i + 1] & 0x3FF));
      ++i;
    } else if (IsHigh(text[i]) || IsLow(text[i])) {
      c = 0xFFFD;
    }
    char bytes[6];
    out.append(bytes, static_cast<size_t>(g_unichar_to_utf8(c, bytes)));
  }
  return out;
}

ToolkitString FromUTF8(const char* text) {
  ToolkitString out;
  if (text == nullptr) return out;
  const char* end = nullptr;
  g_utf8_validate(text, -1, &end);
  for (const char* p = text; p < end; p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    if (c > 0xFFFF) {
      out.push_back(static_cast<char16_t>(0xD800 | ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 | ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

long UnitsToCharacters(const ToolkitString& text, int64_t units) {
  long characters = 0;
  for (int64_t i = 0; i < units && i < static_cast<int64_t>(text.size()); ++i) {
    if (!IsLow(text[static_cast<size_t>(i)]) || i == 0 || !IsHigh(text[static_cast<size_t>(i - 1)])) ++characters;
  }
  return characters;
}

int64_t CharactersToUnits(const ToolkitString& text, long characters) {
  int64_t units = 0;
  for (long c = 0; c < characters && units < static_cast<int64_t>(text.size()); ++c) {
    const bool pair = IsHigh(text[static_cast<size_t>(units)]) && units + 1 < static_cast<int64_t>(text.size()) &&
                      IsLow(text[static_cast<size_t>(units + 1)]);
    units += pair ? 2 : 1;
  }
  return units;
}

}  // namespace zeb::platform
